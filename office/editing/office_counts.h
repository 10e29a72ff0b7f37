#pragma once

#include "page_statistics.h"

#include <com/sun/star/frame/XModel.hpp>

#include <optional>

namespace word {

// The words, characters and paragraphs as the office last counted them for the document; nothing
// when it has not, or cannot say (the office then counts them as it saves, as without this).
std::optional<DocumentCounts>
officeCounts(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model);

} // namespace word
