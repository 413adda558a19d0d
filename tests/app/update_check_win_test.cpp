// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include "update_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app_state.h"
#include "language.h"
#include "preferences.h"

namespace zelo::app {
namespace {

using namespace std::chrono_literals;

constexpr auto kDeadline = 20s;
constexpr DWORD kPumpSliceMs = 50;
constexpr char kOfferResponse[] =
    "HTTP/1.1 200 OK\r\nX-QX-ver: 1.30\r\nX-QX-update: True\r\nX-QX-text: Fixes\xA7More\r\n\r\n";

// A loopback socket bound to a free port; listening when asked to.
struct LoopbackSocket {
    explicit LoopbackSocket(bool listening) {
        WSAStartup(MAKEWORD(2, 2), &data);
        handle = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(handle, reinterpret_cast<sockaddr *>(&address), sizeof address);
        int size = sizeof address;
        getsockname(handle, reinterpret_cast<sockaddr *>(&address), &size);
        port = ntohs(address.sin_port);
        if (listening) listen(handle, 1);
    }
    ~LoopbackSocket() {
        closesocket(handle);
        WSACleanup();
    }
    WSADATA data{};
    SOCKET handle = INVALID_SOCKET;
    std::uint16_t port = 0;
};

// One HTTP exchange: takes a request up to its blank line, answers with the
// given text and closes.
class OneShotServer {
public:
    explicit OneShotServer(std::string response) : response_(std::move(response)) {}
    ~OneShotServer() { request(); }
    std::uint16_t port() const { return listener_.port; }
    const std::string &request() {
        if (thread_.joinable()) thread_.join();
        return request_;
    }

private:
    void serve() {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_.handle, &ready);
        timeval limit{static_cast<long>(std::chrono::seconds(kDeadline).count()), 0};
        if (select(0, &ready, nullptr, nullptr, &limit) != 1) return;
        const SOCKET peer = accept(listener_.handle, nullptr, nullptr);
        char chunk[512];
        for (int got = 1; got > 0 && request_.find("\n\n") == std::string::npos;) {
            got = recv(peer, chunk, sizeof chunk, 0);
            request_.append(chunk, static_cast<std::size_t>(std::max(got, 0)));
        }
        send(peer, response_.data(), static_cast<int>(response_.size()), 0);
        closesocket(peer);
    }

    std::string response_;
    LoopbackSocket listener_{true};
    std::string request_;
    std::thread thread_{[this] { serve(); }};
};

class UpdateCheck : public ::testing::Test {
protected:
    void SetUp() override {
        i18n::setLanguage(i18n::kEnglishKey);
        UpdateEnvironment &environment = updateEnvironment();
        environment.host = "127.0.0.1";
        environment.sleep = [this](std::chrono::milliseconds delay) { slept.push_back(delay); };
        environment.askYesNo = [this](const std::wstring &text, const std::wstring &caption) {
            asked.push_back(text + L"|" + caption);
            askedOnThread = GetCurrentThreadId();
            return answerYes;
        };
        environment.openPage = [this](const std::string &query) { opened.push_back(query); };
    }
    void TearDown() override {
        resetUpdateEnvironment();
        resetProcessState();
        preferences().checkForUpdates = true;
    }

    int runCheck(std::uint16_t port, std::string host = "127.0.0.1") {
        UpdateEnvironment environment = updateEnvironment();
        environment.host = std::move(host);
        environment.port = port;
        return runAutomaticUpdateCheck(
            environment, [] { return querySubject(nullptr, i18n::kEnglishKey); },
            [this](const UpdateOffer &offer) { offers.push_back(offer); });
    }

    void connectLink() {
        ASSERT_TRUE(createDeviceLink());
        deviceLink()->setFirmwareVersion("1.24");
        deviceLink()->setLdVersion("1.00");
    }

    std::vector<std::chrono::milliseconds> slept;
    std::vector<std::wstring> asked;
    std::vector<std::string> opened;
    std::vector<UpdateOffer> offers;
    DWORD askedOnThread = 0;
    bool answerYes = true;
};

TEST_F(UpdateCheck, PagesCarryTheQueryAndNeedAHost) {
    connectLink();
    updateEnvironment().host.clear();
    openHelpPage();
    EXPECT_TRUE(opened.empty());
    updateEnvironment().host = "updates.example";
    openHelpPage();
    openUpdatePage();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(opened[0].starts_with("http://updates.example/help.asp?SW_VER=1.29&SW_BUILD=1007&FW_VER=1.24&LD_VER=1.00"
                                      "&PRODUCT_TYPE=ZELO&LANG=3&DEBUG="))
        << opened[0];
    EXPECT_TRUE(opened[1].starts_with("http://updates.example/GetUpdates.asp?SW_VER=1.29&")) << opened[1];
    EXPECT_EQ(opened[1].find("origin"), std::string::npos);
}

TEST_F(UpdateCheck, SleepsThenAsksTheServerOnceAndPassesOnAnOffer) {
    OneShotServer server(kOfferResponse);
    EXPECT_EQ(runCheck(server.port()), CHECK_DONE);
    EXPECT_EQ(slept, std::vector{kAutomaticCheckDelay});
    const std::string &request = server.request();
    EXPECT_TRUE(request.starts_with("GET http://127.0.0.1/GetUpdates.asp?SW_VER=1.29&SW_BUILD=1007&FW_VER=&")) << request;
    EXPECT_TRUE(request.ends_with("&origin=autoupdate HTTP/1.1\nHost: 127.0.0.1\nConnection: Close\n\n")) << request;
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_EQ(offers[0].version, "1.30");
    EXPECT_EQ(offers[0].text, "Fixes\nMore");
}

TEST_F(UpdateCheck, OffersNothingUnlessTheServerSaysTrueAndReportsFailures) {
    for (const char *response : {"HTTP/1.1 200 OK\r\nX-QX-ver: 1.30\r\nX-QX-update: false\r\n\r\n", ""}) {
        OneShotServer server(response);
        EXPECT_EQ(runCheck(server.port()), CHECK_DONE);
    }
    EXPECT_TRUE(offers.empty());
    const LoopbackSocket notListening(false);
    EXPECT_EQ(runCheck(notListening.port), CHECK_CONNECT_FAILED);
    EXPECT_EQ(runCheck(notListening.port, ""), CHECK_HOST_UNKNOWN);
}

TEST_F(UpdateCheck, OfferAsksWithTheServerTextOrTheCatalogueAndYesOpensTheUpdatePage) {
    EXPECT_TRUE(offerUpdate({"1.30", "true", "Fixes\nMore"}));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].starts_with("http://127.0.0.1/GetUpdates.asp?SW_VER=1.29&")) << opened[0];
    EXPECT_EQ(opened[0].find("origin"), std::string::npos);
    answerYes = false;
    EXPECT_FALSE(offerUpdate({"1.31", "true", ""}));
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(asked, (std::vector<std::wstring>{
                         L"Fixes\nMore|Upgrade software?",
                         L"New software version ready for download.\r\n\r\nCurrent software version is 1.29\r\n"
                         L"Latest version is 1.31\r\n\r\nUpgrade now?|Upgrade software?"}));
}

TEST_F(UpdateCheck, StartsWithPreferenceAndHostAndAsksOnTheUserInterfaceThread) {
    preferences().checkForUpdates = false;
    EXPECT_FALSE(startAutomaticUpdateCheck());
    preferences().checkForUpdates = true;
    updateEnvironment().host.clear();
    EXPECT_FALSE(startAutomaticUpdateCheck());
    updateEnvironment().host = "127.0.0.1";

    connectLink();
    OneShotServer server(kOfferResponse);
    updateEnvironment().port = server.port();
    std::optional<int> result;
    ASSERT_TRUE(startAutomaticUpdateCheck([&result](int done) { result = done; }));
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!result && std::chrono::steady_clock::now() < deadline) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (!result) MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpSliceMs, QS_ALLINPUT);
    }
    ASSERT_EQ(result, std::optional<int>(CHECK_DONE));
    EXPECT_NE(server.request().find("&FW_VER=1.24&LD_VER=1.00&"), std::string::npos) << server.request();
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(askedOnThread, GetCurrentThreadId());
    EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
}  // namespace zelo::app
