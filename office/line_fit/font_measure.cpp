#include "font_measure.h"

#include "uno_support.h"

namespace word {

using namespace word::uno;

double FontMeasure::width(const css::awt::FontDescriptor& font, const QString& text)
{
    if (text.isEmpty()) {
        return 0;
    }
    const QString key = QStringLiteral("%1|%2|%3")
                            .arg(toQ(font.Name))
                            .arg(static_cast<double>(font.Weight))
                            .arg(static_cast<int>(font.Slant));
    const QString widthKey = key + QLatin1Char('\n') + text;
    const auto known = mWidths.constFind(widthKey);
    if (known != mWidths.cend()) {
        return *known;
    }
    css::uno::Reference<css::awt::XFont>& measured = mFonts[key];
    if (!measured.is()) {
        css::awt::FontDescriptor large = font;
        large.Height = kHeight;
        measured = mDevice->getFont(large);
    }
    const double result = measured->getStringWidth(toOU(text));
    mWidths.insert(widthKey, result);
    return result;
}

} // namespace word
