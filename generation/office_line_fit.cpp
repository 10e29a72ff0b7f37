#include "office_line_fit.h"

#include "line_fit.h"
#include "uno_support.h"

#include <QHash>
#include <QMap>
#include <QString>

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/XDevice.hpp>
#include <com/sun/star/awt/XFont.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/style/BreakType.hpp>
#include <com/sun/star/style/TabStop.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XTextCursor.hpp>

#include <cmath>
#include <vector>

namespace word {

using namespace word::uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

constexpr double kHundredthMmPerPoint = 2540.0 / 72.0;
// The office lays lines out with kerning pairs and rounding that its font measure leaves out,
// and Word with metric-compatible fonts does the same again: widths are taken this much wider,
// so that neither breaks a line the measure says fits.
constexpr double kWidthAllowance = 1.03;
// Room kept between the pieces of a tabbed line: 0.1 in, in 1/100 mm.
constexpr double kTabGap = 254.0;
// Fonts are measured at a large size, where the device's rounding does not matter, and scaled.
constexpr sal_Int16 kMeasureHeight = 1000;
// Pieces of a line with more tabs than stops are measured as one, a tab standing for this.
const QString kTabStandIn = QStringLiteral("    ");

// What decides how wide one paragraph's line is, read at the start of the paragraph.
struct Paragraph
{
    QString style;
    QString text;
    css::awt::FontDescriptor font;
    double points = 0;
    int scale = 100;
    int kerning = 0;
    double left = 0;
    double right = 0;
    double firstLine = 0;
    Sequence<css::style::TabStop> tabs;
};

// Property names in the order the office wants them for a multiple read: sorted.
Sequence<rtl::OUString> names(std::initializer_list<const char*> list)
{
    Sequence<rtl::OUString> result(static_cast<sal_Int32>(list.size()));
    auto* out = result.getArray();
    for (const char* name : list) {
        *out++ = rtl::OUString::createFromAscii(name);
    }
    return result;
}

template <typename T> T valueOf(const Any& any, T fallback = T())
{
    T value = fallback;
    any >>= value;
    return value;
}

LineFit::Align alignOf(css::style::TabAlign align)
{
    switch (align) {
    case css::style::TabAlign_CENTER:
        return LineFit::Align::Center;
    case css::style::TabAlign_RIGHT:
    case css::style::TabAlign_DECIMAL:
        return LineFit::Align::Right;
    default:
        return LineFit::Align::Left;
    }
}

// One paragraph's text split at its tabs, each piece with the stop it stands at. Stops are
// measured from where the line starts.
struct Piece
{
    QString text;
    double stop = 0;
    LineFit::Align align = LineFit::Align::Left;
};

std::vector<Piece> piecesOf(const Paragraph& paragraph, bool tabsFromIndent)
{
    const QStringList parts = paragraph.text.split(QLatin1Char('\t'));
    std::vector<Piece> pieces;
    const double shift = (tabsFromIndent ? 0.0 : paragraph.left) + paragraph.firstLine;
    for (int i = 0; i < parts.size(); ++i) {
        if (i == 0) {
            pieces.push_back({parts[i], 0.0, LineFit::Align::Left});
        } else if (i - 1 < paragraph.tabs.getLength()) {
            const css::style::TabStop& tab = paragraph.tabs[i - 1];
            pieces.push_back({parts[i], tab.Position - shift, alignOf(tab.Alignment)});
        } else {
            pieces.back().text += kTabStandIn + parts[i];
        }
    }
    return pieces;
}

QString fontKey(const css::awt::FontDescriptor& font)
{
    return QStringLiteral("%1|%2|%3")
        .arg(toQ(font.Name))
        .arg(static_cast<double>(font.Weight))
        .arg(static_cast<int>(font.Slant));
}

// Widths of texts in fonts, as the office's screen device measures them, each asked once.
class Measure
{
public:
    explicit Measure(const Reference<css::awt::XDevice>& device) : device_(device) {}

    // Width in device units of text set at kMeasureHeight.
    double width(const css::awt::FontDescriptor& font, const QString& text)
    {
        if (text.isEmpty()) {
            return 0;
        }
        const QString key = fontKey(font);
        const QString widthKey = key + QLatin1Char('\n') + text;
        const auto known = widths_.constFind(widthKey);
        if (known != widths_.cend()) {
            return *known;
        }
        Reference<css::awt::XFont>& measured = fonts_[key];
        if (!measured.is()) {
            css::awt::FontDescriptor large = font;
            large.Height = kMeasureHeight;
            measured = device_->getFont(large);
        }
        const double result = measured->getStringWidth(toOU(text));
        widths_.insert(widthKey, result);
        return result;
    }

private:
    Reference<css::awt::XDevice> device_;
    QHash<QString, Reference<css::awt::XFont>> fonts_;
    QHash<QString, double> widths_;
};

} // namespace

OfficeLineFit::OfficeLineFit(const Reference<css::frame::XModel>& model,
                             const Reference<css::text::XText>& text)
    : model_(model), text_(text)
{}

void OfficeLineFit::run()
{
    // The first page's paragraphs, up to the next page break.
    const Reference<css::text::XTextCursor> cursor = text_->createTextCursor();
    cursor->gotoStart(false);
    const Reference<css::text::XParagraphCursor> paragraphs(cursor, UNO_QUERY_THROW);
    const Reference<css::beans::XMultiPropertySet> at(cursor, UNO_QUERY_THROW);
    const Sequence<rtl::OUString> read = names(
        {"BreakType", "CharFontName", "CharHeight", "CharKerning", "CharPosture", "CharScaleWidth",
         "CharWeight", "PageDescName", "PageStyleName", "ParaFirstLineIndent", "ParaLeftMargin",
         "ParaRightMargin", "ParaStyleName", "ParaTabStops"});
    std::vector<Paragraph> page;
    rtl::OUString pageStyle;
    for (bool more = true; more; more = paragraphs->gotoNextParagraph(false)) {
        const Sequence<Any> values = at->getPropertyValues(read);
        const auto breakType = valueOf(values[0], css::style::BreakType_NONE);
        const bool breaks = breakType == css::style::BreakType_PAGE_BEFORE ||
                            breakType == css::style::BreakType_PAGE_BOTH ||
                            !valueOf<rtl::OUString>(values[7]).isEmpty();
        if (breaks && !page.empty()) {
            break;
        }
        if (page.empty()) {
            pageStyle = valueOf<rtl::OUString>(values[8]);
        }
        Paragraph paragraph;
        paragraph.font.Name = valueOf<rtl::OUString>(values[1]);
        paragraph.points = valueOf<float>(values[2]);
        paragraph.kerning = valueOf<sal_Int16>(values[3]);
        paragraph.font.Slant = valueOf(values[4], css::awt::FontSlant_NONE);
        paragraph.scale = valueOf<sal_Int16>(values[5], 100);
        paragraph.font.Weight = valueOf<float>(values[6]);
        paragraph.firstLine = valueOf<sal_Int32>(values[9]);
        paragraph.left = valueOf<sal_Int32>(values[10]);
        paragraph.right = valueOf<sal_Int32>(values[11]);
        paragraph.style = toQ(valueOf<rtl::OUString>(values[12]));
        paragraph.tabs = valueOf<Sequence<css::style::TabStop>>(values[13]);
        paragraphs->gotoEndOfParagraph(true);
        paragraph.text = toQ(cursor->getString());
        page.push_back(std::move(paragraph));
    }
    if (page.empty()) {
        return;
    }

    const Reference<css::container::XNameAccess> styleFamilies =
        Reference<css::style::XStyleFamiliesSupplier>(model_, UNO_QUERY_THROW)->getStyleFamilies();
    const Reference<css::container::XNameAccess> pageStyles(styleFamilies->getByName("PageStyles"),
                                                            UNO_QUERY_THROW);
    const Sequence<Any> pageValues =
        Reference<css::beans::XMultiPropertySet>(pageStyles->getByName(pageStyle), UNO_QUERY_THROW)
            ->getPropertyValues(names({"LeftMargin", "RightMargin", "Width"}));
    const double textWidth = valueOf<sal_Int32>(pageValues[2]) - valueOf<sal_Int32>(pageValues[0]) -
                             valueOf<sal_Int32>(pageValues[1]);
    // Word measures tab stops from the page margin; a document of the office's own from the
    // paragraph's indent.
    const bool tabsFromIndent =
        valueOf<bool>(Reference<css::beans::XPropertySet>(
                          Reference<css::lang::XMultiServiceFactory>(model_, UNO_QUERY_THROW)
                              ->createInstance("com.sun.star.text.DocumentSettings"),
                          UNO_QUERY_THROW)
                          ->getPropertyValue("TabsRelativeToIndent"));

    Measure measure(Reference<css::awt::XDevice>(
        model_->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY_THROW));
    // Per style, how far its widest paragraph must shrink, and that paragraph.
    QMap<QString, std::pair<double, const Paragraph*>> shrinkBy;
    for (const Paragraph& paragraph : page) {
        const double unit = paragraph.points * kHundredthMmPerPoint * paragraph.scale / 100.0 /
                            kMeasureHeight * kWidthAllowance;
        std::vector<LineFit::Segment> segments;
        for (const Piece& piece : piecesOf(paragraph, tabsFromIndent)) {
            const double width = measure.width(paragraph.font, piece.text) * unit +
                                 static_cast<double>(paragraph.kerning) * piece.text.size();
            segments.push_back({width, piece.stop, piece.align});
        }
        const double factor = LineFit::factor(
            segments, textWidth - paragraph.left - paragraph.right - paragraph.firstLine, kTabGap);
        auto known = shrinkBy.find(paragraph.style);
        if (known == shrinkBy.end() || factor < known->first) {
            shrinkBy.insert(paragraph.style, {factor, &paragraph});
        }
    }

    const Reference<css::container::XNameAccess> paragraphStyles(
        styleFamilies->getByName("ParagraphStyles"), UNO_QUERY_THROW);
    for (auto it = shrinkBy.cbegin(); it != shrinkBy.cend(); ++it) {
        const auto [factor, paragraph] = it.value();
        if (factor >= 1.0) {
            continue;
        }
        const LineFit::Size size = LineFit::shrink(paragraph->points, paragraph->scale, factor);
        const float points = static_cast<float>(size.points);
        const auto kerning = static_cast<sal_Int16>(
            std::lround(paragraph->kerning * size.points * size.scalePercent /
                        (paragraph->points * paragraph->scale)));
        Sequence<Any> values(5);
        auto* out = values.getArray();
        out[0] <<= points;
        out[1] <<= points;
        out[2] <<= points;
        out[3] <<= kerning;
        out[4] <<= static_cast<sal_Int16>(size.scalePercent);
        Reference<css::beans::XMultiPropertySet>(paragraphStyles->getByName(toOU(it.key())),
                                                 UNO_QUERY_THROW)
            ->setPropertyValues(names({"CharHeight", "CharHeightAsian", "CharHeightComplex",
                                       "CharKerning", "CharScaleWidth"}),
                                values);
    }
}

} // namespace word
