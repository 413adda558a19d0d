// Everything portable about the program's texts: the catalogue, the current
// language and the fixed frames. One include for the rest of the program.
#ifndef ZELO_I18N_TEXTS_H
#define ZELO_I18N_TEXTS_H

#include "catalogue.h"
#include "fixed_texts.h"
#include "language.h"
#include "messages.h"

#endif
