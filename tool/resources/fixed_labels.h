// Labels the program shows the same in every language. Plain #defines: the
// resource compiler reads them as well as C++ (fixed_texts.h), so the
// dialog and the browser page show one text.
#ifndef ZELO_FIXED_LABELS_H
#define ZELO_FIXED_LABELS_H

#define ZELO_POWER_TRACKING_LABEL "Powertracking"

#endif
