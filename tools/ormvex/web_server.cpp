#include <winsock2.h>
#include <ws2tcpip.h>

#include "tools/ormvex/web_server.h"

#include "foundation/files.h"
#include "foundation/text.h"
#include "tools/ormvex/standin_settings.h"

namespace {

// How often the listener looks at a stop or a port change.
constexpr long kAcceptWaitMs = 250;
// A client gets this long to send its request head, and the head at most this much.
constexpr DWORD kRequestTimeoutMs = 2000;
constexpr int kMaxRequestHead = 8192;
// Binding a port that another program holds is tried again after this pause.
constexpr DWORD kRebindPauseMs = 1000;

class Socket {
public:
    explicit Socket(SOCKET s = INVALID_SOCKET) : s_(s) {}
    ~Socket() {
        if (s_ != INVALID_SOCKET) ::closesocket(s_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept : s_(other.s_) { other.s_ = INVALID_SOCKET; }
    Socket& operator=(Socket&& other) noexcept {
        std::swap(s_, other.s_);
        return *this;
    }
    SOCKET get() const { return s_; }
    explicit operator bool() const { return s_ != INVALID_SOCKET; }

private:
    SOCKET s_;
};

Socket ListenOnLoopback(int port) {
    Socket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!listener) return listener;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.get(), SOMAXCONN) != 0)
        return Socket();
    return listener;
}

std::string PageOf(const std::string& folder) {
    std::string page;
    if (ReadWholeFile(page, folder + "http\\index.html") == 0) {
        page = "<html><body>Orm engine stand-in</body></html>";
    }
    return page;
}

void AnswerClient(SOCKET client, const std::string& folder) {
    const DWORD timeout = kRequestTimeoutMs;
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string head;
    char chunk[1024];
    while (head.find("\r\n\r\n") == std::string::npos && static_cast<int>(head.size()) < kMaxRequestHead) {
        const int got = ::recv(client, chunk, sizeof chunk, 0);
        if (got <= 0) return;
        head.append(chunk, static_cast<std::size_t>(got));
    }
    const bool isGet = head.compare(0, 4, "GET ") == 0;
    const std::string body = isGet ? PageOf(folder) : std::string();
    const std::string response = std::string(isGet ? "HTTP/1.0 200 OK\r\n" : "HTTP/1.0 405 Method Not Allowed\r\n") +
                                 "Content-Type: text/html; charset=gbk\r\nContent-Length: " +
                                 IntText(static_cast<int>(body.size())) + "\r\nConnection: close\r\n\r\n" + body;
    ::send(client, response.data(), static_cast<int>(response.size()), 0);
    ::shutdown(client, SD_SEND);
}

}  // namespace

void ServeManagementSite(const std::string& folder, void* stopEvent) {
    WSADATA wsa{};
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return;
    const CStandinSettings settings(folder);
    Socket listener;
    int boundPort = 0;
    while (::WaitForSingleObject(stopEvent, 0) != WAIT_OBJECT_0) {
        const int port = settings.Number("port");
        if (port != boundPort || !listener) {
            listener = Socket();
            listener = ListenOnLoopback(port);
            boundPort = port;
            if (!listener) {
                ::WaitForSingleObject(stopEvent, kRebindPauseMs);
                continue;
            }
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener.get(), &readable);
        timeval wait{0, kAcceptWaitMs * 1000};
        if (::select(0, &readable, nullptr, nullptr, &wait) != 1) continue;
        Socket client(::accept(listener.get(), nullptr, nullptr));
        if (client) AnswerClient(client.get(), folder);
    }
    ::WSACleanup();
}
