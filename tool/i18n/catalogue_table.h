// The catalogue's raw cells, UTF-8, as stored in the one table.
#ifndef ZELO_I18N_CATALOGUE_TABLE_H
#define ZELO_I18N_CATALOGUE_TABLE_H

#include <string_view>

#include "messages.h"

namespace zelo::i18n {

std::u8string_view catalogueCell(Msg id, Column column);

}  // namespace zelo::i18n

#endif
