// The accessories that are plugged in, whether or not this process can
// open them: the library counts only those it can open, so one held by
// another program, or refused to this user, would look absent. Numbers
// `zelo list` shows are positions in this list, so they do not shift when
// another program takes one.
#ifndef ZELO_CLI_PRESENCE_H
#define ZELO_CLI_PRESENCE_H

#include <optional>
#include <string>
#include <vector>

namespace zelo::cli {

struct PresentAccessory {
    enum class State { Free, InUse, Denied };
    std::string path;  // the interface path, as the library reports it
    State state = State::Free;
    std::vector<std::string> holders;  // who holds it, where the system tells
};

// nullopt where the system cannot list accessories this process cannot
// open (Windows): there the library's count is all there is.
std::optional<std::vector<PresentAccessory>> presentAccessories();

// "in use by zelo-tool (process 812)" or "in use by another program".
std::string inUseText(const PresentAccessory &accessory);

}  // namespace zelo::cli

#endif
