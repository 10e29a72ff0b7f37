#include "model_loader.h"

#include "uno_support.h"

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XLoadable.hpp>

namespace word {

using namespace word::uno;

Reference<css::lang::XComponent>
ModelLoader::load(const Reference<css::frame::XDesktop2>& desktop,
                  const Reference<css::uno::XComponentContext>& office, const rtl::OUString& url,
                  bool readOnly, bool visible)
{
    // Read-only: an untitled copy, editable in memory, that can never be stored over the file it
    // came from.
    std::initializer_list<std::pair<const char*, Any>> common = {
        {"AsTemplate", Any(readOnly)},
        {"MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)},
        {"UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)},
    };
    if (visible) {
        auto arguments = properties(common);
        arguments.realloc(arguments.getLength() + 1);
        arguments.getArray()[arguments.getLength() - 1] = properties({{"Hidden", Any(true)}})[0];
        return Reference<css::frame::XComponentLoader>(desktop, UNO_QUERY_THROW)
            ->loadComponentFromURL(url, "_blank", 0, arguments);
    }
    // A document in a window, even a hidden one, is laid out as soon as the office is idle, which
    // for a long document with header art takes longer than everything else. A bare model is
    // laid out only when an export asks for its pages.
    Reference<css::document::XTypeDetection> detection(
        office->getServiceManager()->createInstanceWithContext(
            "com.sun.star.document.TypeDetection", office),
        UNO_QUERY_THROW);
    css::uno::Sequence<css::beans::PropertyValue> type;
    Reference<css::container::XNameAccess>(detection, UNO_QUERY_THROW)
        ->getByName(detection->queryTypeByURL(url)) >>= type;
    Any filter;
    for (const auto& property : type) {
        filter = property.Name == "PreferredFilter" ? property.Value : filter;
    }
    Reference<css::lang::XComponent> model(office->getServiceManager()->createInstanceWithContext(
                                               "com.sun.star.text.TextDocument", office),
                                           UNO_QUERY_THROW);
    auto arguments = properties(common);
    const auto place = properties({{"URL", Any(url)}, {"FilterName", filter}});
    arguments.realloc(arguments.getLength() + 2);
    arguments.getArray()[arguments.getLength() - 2] = place[0];
    arguments.getArray()[arguments.getLength() - 1] = place[1];
    try {
        Reference<css::frame::XLoadable>(model, UNO_QUERY_THROW)->load(arguments);
    } catch (...) {
        model->dispose();
        throw;
    }
    return model;
}

void ModelLoader::attachHiddenWindow(const Reference<css::frame::XDesktop2>& desktop,
                                     const Reference<css::frame::XModel>& model)
{
    Reference<css::frame::XComponentLoader>(desktop, UNO_QUERY_THROW)
        ->loadComponentFromURL("private:object", "_blank", 0,
                               properties({{"Model", Any(model)}, {"Hidden", Any(true)}}));
}

} // namespace word
