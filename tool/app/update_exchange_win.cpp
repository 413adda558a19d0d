// The automatic check's one exchange with the update server over Winsock.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <cstring>
#include <optional>
#include <vector>

#include "update_check.h"

namespace zelo::app {

namespace {

constexpr WORD kWinsockVersion = MAKEWORD(1, 1);

class WinsockSession {
public:
    WinsockSession() {
        WSADATA data{};
        started_ = WSAStartup(kWinsockVersion, &data) == 0;
    }
    ~WinsockSession() {
        if (started_) WSACleanup();
    }
    WinsockSession(const WinsockSession &) = delete;
    WinsockSession &operator=(const WinsockSession &) = delete;
    bool started() const { return started_; }

private:
    bool started_ = false;
};

class Socket {
public:
    Socket() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {}
    ~Socket() {
        if (valid()) closesocket(socket_);
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    bool valid() const { return socket_ != INVALID_SOCKET; }
    SOCKET get() const { return socket_; }

private:
    SOCKET socket_;
};

// A dotted address as it is, else a name lookup. An empty host never
// resolves: a name lookup of nothing would answer this machine.
std::optional<in_addr> resolveHost(const std::string &host) {
    if (host.empty()) return std::nullopt;
    in_addr address{};
    address.s_addr = inet_addr(host.c_str());
    if (address.s_addr != INADDR_NONE) return address;
    const hostent *entry = gethostbyname(host.c_str());
    if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_length != sizeof address ||
        entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr) {
        return std::nullopt;
    }
    std::memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address;
}

std::string updateRequest(const std::string &query, const std::string &host) {
    // Bare line feeds end the lines, as the update server has always been sent.
    return "GET " + query + " HTTP/1.1\nHost: " + host + "\nConnection: Close\n\n";
}

struct Exchange {
    int result = CHECK_DONE;
    std::vector<char> received;
};

// Steps 2 to 5 of the check; socket and Winsock are released on every path.
Exchange exchangeWithServer(const UpdateEnvironment &environment, const std::function<QuerySubject()> &subject) {
    const WinsockSession session;
    if (!session.started()) return {CHECK_WINSOCK_FAILED, {}};
    const Socket socket;
    if (!socket.valid()) return {CHECK_SOCKET_FAILED, {}};
    const std::optional<in_addr> address = resolveHost(environment.host);
    if (!address) return {CHECK_HOST_UNKNOWN, {}};
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(environment.port);
    peer.sin_addr = *address;
    if (connect(socket.get(), reinterpret_cast<const sockaddr *>(&peer), sizeof peer) == SOCKET_ERROR) {
        return {CHECK_CONNECT_FAILED, {}};
    }
    const std::string query =
        buildUpdateQuery(pageAddress(environment.host, kUpdatePagePath), subject(), QueryOrigin::Automatic);
    const std::string request = updateRequest(query, environment.host);
    send(socket.get(), request.data(), static_cast<int>(request.size()), 0);
    Exchange exchange{CHECK_DONE, std::vector<char>(kResponseBufferSize, '\0')};
    const int received = recv(socket.get(), exchange.received.data(), static_cast<int>(exchange.received.size()), 0);
    exchange.received.resize(received > 0 ? static_cast<std::size_t>(received) : 0);
    return exchange;
}

}  // namespace

int runAutomaticUpdateCheck(const UpdateEnvironment &environment, const std::function<QuerySubject()> &subject,
                            const std::function<void(const UpdateOffer &)> &offer) {
    environment.sleep(kAutomaticCheckDelay);
    const Exchange exchange = exchangeWithServer(environment, subject);
    if (exchange.result != CHECK_DONE) return exchange.result;
    const std::optional<UpdateOffer> parsed = parseUpdateResponse(exchange.received);
    if (parsed && offersUpdate(*parsed)) offer(*parsed);
    return CHECK_DONE;
}

}  // namespace zelo::app
