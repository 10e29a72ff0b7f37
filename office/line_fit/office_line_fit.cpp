#include "office_line_fit.h"

#include "font_measure.h"
#include "line_fit.h"
#include "script_runs.h"
#include "uno_support.h"

#include <QMap>
#include <QString>

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/XDevice.hpp>
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
#include <com/sun/star/view/XRenderable.hpp>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace word {

using namespace word::uno;

namespace {

constexpr double kHundredthMmPerPoint = 2540.0 / 72.0;
// The office lays lines out with kerning pairs and rounding that its font measure leaves out,
// and Word with metric-compatible fonts does the same again: widths are taken this much wider,
// so that neither breaks a line the measure says fits.
constexpr double kWidthAllowance = 1.03;
// Room kept between the pieces of a tabbed line: 0.1 in, in 1/100 mm.
constexpr double kTabGap = 254.0;
// Pieces of a line with more tabs than stops are measured as one, a tab standing for this.
const QString kTabStandIn = QStringLiteral("    ");
// When the laid-out page still runs on, the doubtful styles shrink by this much more, so often.
constexpr double kFurtherShrink = 0.85;
constexpr int kFurtherRounds = 3;

// The paragraph properties read, sorted as a multiple read wants them.
enum Property
{
    BreakType,
    CharFontName,
    CharFontNameAsian,
    CharFontNameComplex,
    CharHeight,
    CharHeightAsian,
    CharHeightComplex,
    CharKerning,
    CharPosture,
    CharPostureAsian,
    CharPostureComplex,
    CharScaleWidth,
    CharWeight,
    CharWeightAsian,
    CharWeightComplex,
    PageDescName,
    PageStyleName,
    ParaFirstLineIndent,
    ParaLeftMargin,
    ParaRightMargin,
    ParaStyleName,
    ParaTabStops,
    PropertyCount
};
const char* const kPropertyNames[PropertyCount] = {
    "BreakType",     "CharFontName",        "CharFontNameAsian",  "CharFontNameComplex",
    "CharHeight",    "CharHeightAsian",     "CharHeightComplex",  "CharKerning",
    "CharPosture",   "CharPostureAsian",    "CharPostureComplex", "CharScaleWidth",
    "CharWeight",    "CharWeightAsian",     "CharWeightComplex",  "PageDescName",
    "PageStyleName", "ParaFirstLineIndent", "ParaLeftMargin",     "ParaRightMargin",
    "ParaStyleName", "ParaTabStops"};

// What decides how wide one paragraph's line is, read at the start of the paragraph.
struct Paragraph
{
    QString style;
    QString text;
    std::array<css::awt::FontDescriptor, 3> fonts;
    std::array<double, 3> points = {0, 0, 0};
    int scale = 100;
    int kerning = 0;
    double left = 0;
    double right = 0;
    double firstLine = 0;
    Sequence<css::style::TabStop> tabs;
};

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

// How far a style must shrink: decided by its widest paragraph. Doubtful when a line holds
// Asian or Complex text, whose spacing the measure knows least.
struct StyleFit
{
    double factor = 1.0;
    const Paragraph* widest = nullptr;
    bool doubtful = false;
};

// The first page's paragraphs, up to the next page break, and its page style; wholeDocument
// when no page follows.
struct FirstPage
{
    std::vector<Paragraph> paragraphs;
    rtl::OUString pageStyle;
    bool wholeDocument = true;
};

Paragraph paragraphFrom(const Sequence<Any>& v)
{
    Paragraph paragraph;
    const Property fontNames[] = {CharFontName, CharFontNameAsian, CharFontNameComplex};
    for (int s = Western; s <= Complex; ++s) {
        css::awt::FontDescriptor& font = paragraph.fonts[s];
        font.Name = valueOf<rtl::OUString>(v[fontNames[s]]);
        font.Weight = valueOf<float>(v[CharWeight + s]);
        font.Slant = valueOf(v[CharPosture + s], css::awt::FontSlant_NONE);
        paragraph.points[s] = valueOf<float>(v[CharHeight + s]);
    }
    paragraph.kerning = valueOf<sal_Int16>(v[CharKerning]);
    paragraph.scale = valueOf<sal_Int16>(v[CharScaleWidth], 100);
    paragraph.firstLine = valueOf<sal_Int32>(v[ParaFirstLineIndent]);
    paragraph.left = valueOf<sal_Int32>(v[ParaLeftMargin]);
    paragraph.right = valueOf<sal_Int32>(v[ParaRightMargin]);
    paragraph.style = toQ(valueOf<rtl::OUString>(v[ParaStyleName]));
    paragraph.tabs = valueOf<Sequence<css::style::TabStop>>(v[ParaTabStops]);
    return paragraph;
}

FirstPage readFirstPage(const Reference<css::text::XText>& text)
{
    const Reference<css::text::XTextCursor> cursor = text->createTextCursor();
    cursor->gotoStart(false);
    const Reference<css::text::XParagraphCursor> paragraphs(cursor, UNO_QUERY_THROW);
    const Reference<css::beans::XMultiPropertySet> at(cursor, UNO_QUERY_THROW);
    Sequence<rtl::OUString> read(PropertyCount);
    for (int p = 0; p < PropertyCount; ++p) {
        read.getArray()[p] = rtl::OUString::createFromAscii(kPropertyNames[p]);
    }
    FirstPage page;
    for (bool more = true; more; more = paragraphs->gotoNextParagraph(false)) {
        const Sequence<Any> v = at->getPropertyValues(read);
        const auto breakType = valueOf(v[BreakType], css::style::BreakType_NONE);
        const bool breaks = breakType == css::style::BreakType_PAGE_BEFORE ||
                            breakType == css::style::BreakType_PAGE_BOTH ||
                            !valueOf<rtl::OUString>(v[PageDescName]).isEmpty();
        if (breaks && !page.paragraphs.empty()) {
            page.wholeDocument = false;
            break;
        }
        if (page.paragraphs.empty()) {
            page.pageStyle = valueOf<rtl::OUString>(v[PageStyleName]);
        }
        Paragraph paragraph = paragraphFrom(v);
        paragraphs->gotoEndOfParagraph(true);
        paragraph.text = toQ(cursor->getString());
        page.paragraphs.push_back(std::move(paragraph));
    }
    return page;
}

Reference<css::container::XNameAccess> styleFamily(const Reference<css::frame::XModel>& model,
                                                   const char* family)
{
    return {Reference<css::style::XStyleFamiliesSupplier>(model, UNO_QUERY_THROW)
                ->getStyleFamilies()
                ->getByName(rtl::OUString::createFromAscii(family)),
            UNO_QUERY_THROW};
}

// The width between the page style's margins.
double textWidthOf(const Reference<css::frame::XModel>& model, const rtl::OUString& pageStyle)
{
    const Sequence<Any> pageValues =
        Reference<css::beans::XMultiPropertySet>(
            styleFamily(model, "PageStyles")->getByName(pageStyle), UNO_QUERY_THROW)
            ->getPropertyValues(names({"LeftMargin", "RightMargin", "Width"}));
    return valueOf<sal_Int32>(pageValues[2]) - valueOf<sal_Int32>(pageValues[0]) -
           valueOf<sal_Int32>(pageValues[1]);
}

// Word measures tab stops from the page margin; a document of the office's own from the
// paragraph's indent.
bool tabsFromIndent(const Reference<css::frame::XModel>& model)
{
    return valueOf<bool>(Reference<css::beans::XPropertySet>(
                             Reference<css::lang::XMultiServiceFactory>(model, UNO_QUERY_THROW)
                                 ->createInstance("com.sun.star.text.DocumentSettings"),
                             UNO_QUERY_THROW)
                             ->getPropertyValue("TabsRelativeToIndent"));
}

// How far each style must shrink for its widest paragraph to keep to its line.
QMap<QString, StyleFit> measureStyles(const Reference<css::frame::XModel>& model,
                                      const std::vector<Paragraph>& page, double textWidth,
                                      const KeptClear& keptClear)
{
    const bool fromIndent = tabsFromIndent(model);
    FontMeasure measure(Reference<css::awt::XDevice>(
        model->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY_THROW));
    QMap<QString, StyleFit> styles;
    for (const Paragraph& paragraph : page) {
        StyleFit& style = styles[paragraph.style];
        std::vector<LineFit::Segment> segments;
        for (const Piece& piece : piecesOf(paragraph, fromIndent)) {
            double width = static_cast<double>(paragraph.kerning) * piece.text.size();
            for (const auto& [script, text] : scriptRuns(piece.text)) {
                width += measure.width(paragraph.fonts[script], text) * paragraph.points[script];
                style.doubtful = style.doubtful || script != Western;
            }
            width *= kHundredthMmPerPoint * paragraph.scale / 100.0 / FontMeasure::kHeight;
            segments.push_back({width * kWidthAllowance, piece.stop, piece.align});
        }
        const double clear = keptClear.styles.contains(paragraph.style)
                                 ? 2 * keptClear.points * kHundredthMmPerPoint
                                 : 0;
        const double factor = LineFit::factor(
            segments, textWidth - paragraph.left - paragraph.right - paragraph.firstLine - clear,
            kTabGap);
        if (style.widest == nullptr || factor < style.factor) {
            style.factor = factor;
            style.widest = &paragraph;
        }
    }
    return styles;
}

// Sizes go to the style, scaled from what its widest paragraph had when the fit began, further
// shrunk by the given factor.
void applyFit(const Reference<css::container::XNameAccess>& paragraphStyles, const QString& name,
              const StyleFit& style, double further)
{
    const Paragraph& design = *style.widest;
    const LineFit::Size size =
        LineFit::shrink(design.points[Western], design.scale, style.factor * further);
    const double ratio = size.points / design.points[Western];
    Sequence<Any> values(5);
    auto* out = values.getArray();
    out[0] <<= static_cast<float>(size.points);
    out[1] <<= static_cast<float>(std::max(1.0, std::floor(design.points[Asian] * ratio * 2) / 2));
    out[2] <<=
        static_cast<float>(std::max(1.0, std::floor(design.points[Complex] * ratio * 2) / 2));
    out[3] <<= static_cast<sal_Int16>(
        std::lround(design.kerning * ratio * size.scalePercent / design.scale));
    out[4] <<= static_cast<sal_Int16>(size.scalePercent);
    Reference<css::beans::XMultiPropertySet>(paragraphStyles->getByName(toOU(name)),
                                             UNO_QUERY_THROW)
        ->setPropertyValues(names({"CharHeight", "CharHeightAsian", "CharHeightComplex",
                                   "CharKerning", "CharScaleWidth"}),
                            values);
}

// The measure knows Western text well and other scripts less: when the laid-out page still runs
// onto another, a line has wrapped, and the doubtful styles (or, without any, the ones already
// shrunk) shrink further. A page of tickets carries the same wording in every ticket, so one
// wrapped line is five lines more, which no page has room for.
void shrinkWhileOverflowing(const Reference<css::frame::XModel>& model,
                            const Reference<css::container::XNameAccess>& paragraphStyles,
                            const QMap<QString, StyleFit>& styles)
{
    const Reference<css::view::XRenderable> renderable(model, UNO_QUERY_THROW);
    bool anyDoubtful = false;
    for (const StyleFit& style : styles) {
        anyDoubtful = anyDoubtful || style.doubtful;
    }
    double further = 1.0;
    for (int round = 0; round < kFurtherRounds && renderable->getRendererCount(Any(model), {}) > 1;
         ++round) {
        further *= kFurtherShrink;
        for (auto it = styles.cbegin(); it != styles.cend(); ++it) {
            if (anyDoubtful ? it->doubtful : it->factor < 1.0) {
                applyFit(paragraphStyles, it.key(), *it, further);
            }
        }
    }
}

} // namespace

OfficeLineFit::OfficeLineFit(const Reference<css::frame::XModel>& model,
                             const Reference<css::text::XText>& text)
    : mModel(model), mText(text)
{}

void OfficeLineFit::run(const KeptClear& keptClear)
{
    const FirstPage page = readFirstPage(mText);
    if (page.paragraphs.empty()) {
        return;
    }
    const QMap<QString, StyleFit> styles =
        measureStyles(mModel, page.paragraphs, textWidthOf(mModel, page.pageStyle), keptClear);
    const auto paragraphStyles = styleFamily(mModel, "ParagraphStyles");
    for (auto it = styles.cbegin(); it != styles.cend(); ++it) {
        if (it->factor < 1.0) {
            applyFit(paragraphStyles, it.key(), *it, 1.0);
        }
    }
    if (page.wholeDocument) {
        shrinkWhileOverflowing(mModel, paragraphStyles, styles);
    }
}

} // namespace word
