#pragma once

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

namespace word {

// How an office loads a document: macros never run, links are never updated, and a document
// opened read-only is an untitled copy.
class ModelLoader
{
public:
    // The document's model, in a hidden window of its own when visible (a document to edit
    // through the selection), else in none, which is laid out only when an export asks for it.
    static com::sun::star::uno::Reference<com::sun::star::lang::XComponent>
    load(const com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2>& desktop,
         const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& office,
         const rtl::OUString& url, bool readOnly, bool visible);
    // Gives a document loaded without a window a hidden one, which the office's exports need.
    static void attachHiddenWindow(
        const com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2>& desktop,
        const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model);
};

} // namespace word
