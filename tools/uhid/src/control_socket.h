// The control channel: a unix stream socket taking one command line per
// connection and answering it with one reply.
#pragma once

#include <functional>
#include <string>

namespace zelo::uhid {

// Listening socket at path (an old one there is replaced); -1 with a reason on failure.
int listenAt(const std::string &path, std::string *error);
// Takes one waiting connection's command line and writes reply(line) back.
void serveOne(int listener, const std::function<std::string(const std::string &)> &reply);
// Sends command to the socket at path and collects the reply; false with a
// reason in reply when the channel cannot be reached.
bool sendCommand(const std::string &path, const std::string &command, std::string *reply);

}  // namespace zelo::uhid
