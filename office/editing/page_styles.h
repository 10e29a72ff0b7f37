#pragma once

#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <rtl/ustring.hxx>

namespace word::page_styles {

// The document's page styles, by name.
com::sun::star::uno::Reference<com::sun::star::container::XNameContainer>
all(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model);

// Adds a page style named plainName that lays text out exactly as the style named ownName: every
// setting and the header's paragraphs, shaped the same, but nothing drawn in the header. Pages
// under it are as tall and their text sits where it did; what the header draws is left out.
void addPlainCopy(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                  const rtl::OUString& ownName, const rtl::OUString& plainName);

} // namespace word::page_styles
