#include "page_styles.h"

#include "uno_support.h"

#include <com/sun/star/beans/PropertyAttribute.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XText.hpp>

#include <set>
#include <vector>

namespace word::page_styles {

using namespace word::uno;

namespace {

// Every setting of the page style but its texts, which stay the copy's own.
void copyPageSettings(const Reference<css::beans::XPropertySet>& from,
                      const Reference<css::beans::XPropertySet>& to)
{
    static const std::set<rtl::OUString> kNotCopied = {"FollowStyle", "DisplayName", "Name",
                                                       "UserDefinedAttributes", "IsPhysical"};
    // The header's and footer's own settings are taken only once they are on.
    for (const rtl::OUString& on : {rtl::OUString("HeaderIsOn"), rtl::OUString("FooterIsOn")}) {
        to->setPropertyValue(on, from->getPropertyValue(on));
    }
    const auto settings = from->getPropertySetInfo()->getProperties();
    for (const css::beans::Property& setting : settings) {
        const bool text =
            (setting.Name.startsWith("Header") || setting.Name.startsWith("Footer")) &&
            setting.Name.indexOf("Text") >= 0;
        if ((setting.Attributes & css::beans::PropertyAttribute::READONLY) != 0 || text ||
            kNotCopied.count(setting.Name) != 0) {
            continue;
        }
        try {
            to->setPropertyValue(setting.Name, from->getPropertyValue(setting.Name));
        } catch (const css::uno::Exception&) {
            // A setting the copy cannot take is one the text's place does not depend on.
        }
    }
}

// What decides a header paragraph's height.
const char* const kParagraphShape[] = {"ParaStyleName",      "ParaLineSpacing", "ParaTopMargin",
                                       "ParaBottomMargin",   "CharHeight",      "CharHeightAsian",
                                       "CharHeightComplex",  "CharFontName",    "CharFontNameAsian",
                                       "CharFontNameComplex"};

// The header's paragraphs, each shaped as the own one, without what is drawn on them.
void copyHeaderParagraphs(const Reference<css::beans::XPropertySet>& from,
                          const Reference<css::beans::XPropertySet>& to)
{
    bool on = false;
    from->getPropertyValue("HeaderIsOn") >>= on;
    if (!on) {
        return;
    }
    Reference<css::text::XText> source(from->getPropertyValue("HeaderText"), UNO_QUERY_THROW);
    Reference<css::text::XText> target(to->getPropertyValue("HeaderText"), UNO_QUERY_THROW);
    std::vector<Reference<css::beans::XPropertySet>> shapes;
    const auto paragraphs =
        Reference<css::container::XEnumerationAccess>(source, UNO_QUERY_THROW)->createEnumeration();
    while (paragraphs->hasMoreElements()) {
        Reference<css::beans::XPropertySet> paragraph(paragraphs->nextElement(), UNO_QUERY);
        if (paragraph.is()) {
            shapes.push_back(paragraph);
            if (shapes.size() > 1) {
                target->insertControlCharacter(target->getEnd(),
                                               css::text::ControlCharacter::PARAGRAPH_BREAK, false);
            }
        }
    }
    const auto made =
        Reference<css::container::XEnumerationAccess>(target, UNO_QUERY_THROW)->createEnumeration();
    for (const auto& shape : shapes) {
        Reference<css::beans::XPropertySet> paragraph(made->nextElement(), UNO_QUERY_THROW);
        for (const char* name : kParagraphShape) {
            const rtl::OUString property = rtl::OUString::createFromAscii(name);
            try {
                paragraph->setPropertyValue(property, shape->getPropertyValue(property));
            } catch (const css::uno::Exception&) {
                // As with the page settings: a property the paragraph cannot take is left.
            }
        }
    }
}

} // namespace

Reference<css::container::XNameContainer> all(const Reference<css::frame::XModel>& model)
{
    return Reference<css::container::XNameContainer>(
        Reference<css::style::XStyleFamiliesSupplier>(model, UNO_QUERY_THROW)
            ->getStyleFamilies()
            ->getByName("PageStyles"),
        UNO_QUERY_THROW);
}

void addPlainCopy(const Reference<css::frame::XModel>& model, const rtl::OUString& ownName,
                  const rtl::OUString& plainName)
{
    const auto styles = all(model);
    Reference<css::beans::XPropertySet> own(styles->getByName(ownName), UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> plain(
        Reference<css::lang::XMultiServiceFactory>(model, UNO_QUERY_THROW)
            ->createInstance("com.sun.star.style.PageStyle"),
        UNO_QUERY_THROW);
    styles->insertByName(plainName, Any(plain));
    try {
        copyPageSettings(own, plain);
        copyHeaderParagraphs(own, plain);
    } catch (...) {
        styles->removeByName(plainName);
        throw;
    }
}

} // namespace word::page_styles
