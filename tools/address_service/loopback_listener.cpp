#include "tools/address_service/loopback_listener.h"

namespace {
// A port still held by an ended run or another program is often free a moment later.
constexpr int kBindAttempts = 30;
constexpr DWORD kBindPauseMs = 1000;
// A client gets this long to send its request head, and the head at most this much.
constexpr DWORD kRequestTimeoutMs = 2000;
constexpr std::size_t kMaxRequestHead = 8192;
constexpr std::size_t kReadChunk = 1024;

std::string ReadRequestHead(SOCKET client) {
    const DWORD timeout = kRequestTimeoutMs;
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string head;
    char chunk[kReadChunk];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxRequestHead) {
        const int got = ::recv(client, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        head.append(chunk, static_cast<std::size_t>(got));
    }
    return head;
}
}  // namespace

UniqueSocket ListenOnLoopbackPort(unsigned short port) {
    for (int attempt = 0; attempt < kBindAttempts; ++attempt) {
        if (attempt > 0) ::Sleep(kBindPauseMs);
        UniqueSocket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        if (!listener) continue;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(listener.get(), SOMAXCONN) == 0)
            return listener;
    }
    return UniqueSocket();
}

void ServeForever(const UniqueSocket& listener, const std::function<std::string(const std::string&)>& answer) {
    for (;;) {
        UniqueSocket client(::accept(listener.get(), nullptr, nullptr));
        if (!client) continue;
        const std::string head = ReadRequestHead(client.get());
        const std::string response = answer(head.substr(0, head.find("\r\n")));
        ::send(client.get(), response.data(), static_cast<int>(response.size()), 0);
        ::shutdown(client.get(), SD_SEND);
    }
}
