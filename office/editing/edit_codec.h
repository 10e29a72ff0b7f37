#pragma once

#include "edit_command.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Sequence.hxx>

#include <vector>

// How editing commands and their outcomes cross into the office and back: as the arguments and
// the result of one XJob::execute call, in types every UNO bridge carries.
namespace word::edit_codec {

// The implementation the editor inside the office is made from.
constexpr const char* kImplementationName = "com.quorvane.ticketwright.DocumentEditor";
// The version of the commands and outcomes below. The program hands it to the editor it makes,
// and an editor of another version refuses to be made: the program then edits by itself.
constexpr int kVersion = 6;

com::sun::star::uno::Sequence<com::sun::star::beans::NamedValue>
encodeCommands(const std::vector<EditCommand>& commands);
// Throws word::Error for a command it does not know.
std::vector<EditCommand>
decodeCommands(const com::sun::star::uno::Sequence<com::sun::star::beans::NamedValue>& encoded);

com::sun::star::uno::Any encodeOutcomes(const std::vector<EditOutcome>& outcomes);
// Throws word::Error unless one outcome per command came back.
std::vector<EditOutcome> decodeOutcomes(const com::sun::star::uno::Any& encoded,
                                        std::size_t commands);

} // namespace word::edit_codec
