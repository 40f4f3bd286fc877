#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <string>
#include <thread>

#include "installer/address_lookup.h"

namespace {

TEST(ParseHttpAddress, Cases) {
    HttpAddress a = ParseHttpAddress(L"http://192.0.2.10:8080/x");
    EXPECT_EQ(a.host, L"192.0.2.10");
    EXPECT_EQ(a.port, 8080);
    EXPECT_EQ(a.objectPath, L"/x");
    EXPECT_FALSE(a.secure);
    HttpAddress b = ParseHttpAddress(L"https://192.0.2.10/x");
    EXPECT_EQ(b.port, 443);
    EXPECT_TRUE(b.secure);
    HttpAddress c = ParseHttpAddress(L"http://localhost");
    EXPECT_EQ(c.host, L"localhost");
    EXPECT_EQ(c.objectPath, L"");
    EXPECT_EQ(c.port, 80);
}

// A one-shot HTTP server on a free loopback port that answers every request with body.
class LoopbackServer {
public:
    explicit LoopbackServer(std::string body) : body_(std::move(body)) {
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 4);
        int size = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        ::closesocket(listener_);
        thread_.join();
        ::WSACleanup();
    }
    std::wstring Address(const std::wstring& path) const {
        return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
    }
    std::string request;

private:
    void Serve() {
        SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        char buffer[4096];
        int n = ::recv(client, buffer, sizeof buffer, 0);
        if (n > 0) request.assign(buffer, static_cast<size_t>(n));
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                   std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_;
        ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
    std::string body_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread thread_;
};

TEST(HttpGet, FetchesTheBodyWithTheSpecifiedHeaders) {
    LoopbackServer server("<ip>203.0.113.7</ip>");
    std::string body;
    ASSERT_TRUE(HttpGet(server.Address(L"/ip"), body));
    EXPECT_EQ(body, "<ip>203.0.113.7</ip>");
    EXPECT_EQ(server.request.rfind("GET /ip HTTP/1.1\r\n", 0), 0u) << server.request;
    EXPECT_NE(server.request.find("Accept-Language: zh-cn"), std::string::npos);
    EXPECT_NE(server.request.find("Chrome/58.0.3029.110"), std::string::npos);
}

TEST(LookupPublicAddress, ReplacesLocalhostWithTheAnsweredAddress) {
    struct Case {
        const char *answer, *expected;
    } cases[] = {
        {"<html><ip>203.0.113.7</ip></html>", "http://203.0.113.7:6689/abcd1234"},
        {"<ip>256.1.1.1</ip>", ""},
        {"no tags here", ""},
    };
    for (const Case& c : cases) {
        LoopbackServer server(c.answer);
        EXPECT_EQ(LookupPublicAddressAt(server.Address(L"/ip"), "http://localhost:6689/abcd1234"), c.expected)
            << c.answer;
    }
}

TEST(LookupPublicAddress, NothingAnswersGivesNoAddress) {
    // The build's address service is on loopback and nothing serves it in this test.
    EXPECT_EQ(LookupPublicAddress("http://localhost:6689/x"), "");
}

}  // namespace
