// The help and update web pages, and the automatic software update check.
// The update host is a build-time setting (ZELO_UPDATE_HOST), empty by
// default: then no page is opened and nothing is contacted.
#ifndef ZELO_APP_UPDATE_CHECK_H
#define ZELO_APP_UPDATE_CHECK_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "update_query.h"
#include "update_response.h"

namespace zelo::app {

inline constexpr std::uint16_t kHttpPort = 80;
inline constexpr std::chrono::milliseconds kAutomaticCheckDelay{5000};

// How the automatic check ended.
enum AutomaticCheckResult : int {
    CHECK_DONE = 0,  // whether or not an update was offered
    CHECK_WINSOCK_FAILED = -1,
    CHECK_SOCKET_FAILED = -2,
    CHECK_HOST_UNKNOWN = -3,
    CHECK_CONNECT_FAILED = -5,
};

// What the pages and the check reach outside the program. The program's
// own: the build-time host on port 80, a real sleep, MessageBoxW without
// owner, ShellExecuteA "open". Tests replace members.
struct UpdateEnvironment {
    std::string host;
    std::uint16_t port = kHttpPort;
    std::function<void(std::chrono::milliseconds)> sleep;
    std::function<bool(const std::wstring &text, const std::wstring &caption)> askYesNo;  // true for Yes
    std::function<void(const std::string &query)> openPage;
};

// User-interface thread only. A started check works on its own copy.
UpdateEnvironment &updateEnvironment();
void resetUpdateEnvironment();

// Commands 32779 and 32776: the page with the query of the installation as
// it is now. Failures are not reported; without a host nothing happens.
void openHelpPage();
void openUpdatePage();

// The prompt for an offered update (its own text, else the catalogue's);
// Yes opens the update page. User-interface thread; true for Yes.
bool offerUpdate(const UpdateOffer &offer);

// The check itself on the calling thread: sleep, connect to the host, one
// request, one receive, and offer() when the server says to update.
// subject() supplies the query's contents when the request is built.
int runAutomaticUpdateCheck(const UpdateEnvironment &environment, const std::function<QuerySubject()> &subject,
                            const std::function<void(const UpdateOffer &)> &offer);

// Called once at the end of the main window's initialisation. When the
// check-for-updates preference is true and a host is configured, runs the
// check on a worker thread and returns true. The worker takes the query's
// contents and shows the offer on this (the user-interface) thread, which
// owns the device link and the catalogue; finished, if given, is called
// here with the result.
bool startAutomaticUpdateCheck(std::function<void(int)> finished = {});

}  // namespace zelo::app

#endif
