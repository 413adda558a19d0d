// How the runner recognises what zelo-tool shows, whatever language the
// user chose: the connected status text and the first-start language
// dialog. Portable, so the recognition is tested natively.
#ifndef ZELO_RUNNER_PROGRAM_TEXTS_H
#define ZELO_RUNNER_PROGRAM_TEXTS_H

#include <string_view>

namespace zelo::runner {

// Part 0 of the status bar once an accessory is connected: "ZE·LO …" with
// the catalogue's `Connected` text of one of the languages.
bool showsConnection(std::wstring_view statusText);

// Part 0 of the status bar while no accessory is connected: the
// catalogue's `Disconnected` text of one of the languages.
bool showsDisconnection(std::wstring_view statusText);

// The title of the language dialog in one of the languages.
bool isLanguageDialogTitle(std::wstring_view title);

}  // namespace zelo::runner

#endif
