// Looking texts up in the catalogue. Lookups never fail and may run on any
// thread: the wide texts are built once and never change afterwards.
#ifndef ZELO_I18N_CATALOGUE_H
#define ZELO_I18N_CATALOGUE_H

#include <string>
#include <string_view>

#include "language.h"
#include "messages.h"

namespace zelo::i18n {

// The text in the current language (English until one is set). An id
// outside the catalogue answers an empty text.
const std::wstring &text(Msg id);
const std::wstring &textIn(Msg id, Column column);

// The text with the first occurrence of marker replaced; the text unchanged
// when it lacks the marker. Returned by value: a worker thread may format a
// prompt while the user-interface thread formats another.
std::wstring replacePlaceholder(Msg id, std::wstring_view marker, std::wstring_view replacement);

}  // namespace zelo::i18n

#endif
