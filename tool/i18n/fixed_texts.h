// Texts that stay the same in every language but frame catalogue texts, and
// the filling of their "%s" slots.
#ifndef ZELO_I18N_FIXED_TEXTS_H
#define ZELO_I18N_FIXED_TEXTS_H

#include <initializer_list>
#include <string>
#include <string_view>

#include "fixed_labels.h"

namespace zelo::i18n {

// The macro page's duration and pause column labels.
inline constexpr std::wstring_view kMillisecondsLabelFormat = L"%s(ms)";
// The settings page's power tracking label.
inline constexpr std::wstring_view kPowerTrackingLabel = L"" ZELO_POWER_TRACKING_LABEL;

// Each "%s" of format, in order, takes the next value; a "%s" without a
// value stays as it is. Nothing else in format is interpreted, so a
// translated text can never act as a format string.
std::wstring fillStrings(std::wstring_view format, std::initializer_list<std::wstring_view> values);

// The year of a compiler build date text ("Aug  2 2012" gives "2012");
// empty when the text is too short to hold one.
std::wstring buildYearOf(std::string_view buildDate);
// The year this program was built: the end of the About notice's years.
std::wstring buildYear();

}  // namespace zelo::i18n

#endif
