#include <winsock2.h>

#include "channel/channel_test_support.h"

#include "foundation/text.h"

namespace testing_support {

std::string GbkOf(const std::wstring& wide) {
    const int size = ::WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), &narrow[0], size, nullptr, nullptr);
    return narrow;
}

std::string DataOf(const std::string& answer) { return TextBetween(answer, "<data>", "</data>"); }

std::string FieldOf(const std::string& answer, const std::string& tag) {
    return TextBetween(DataOf(answer), "<" + tag + ">", "</" + tag + ">");
}

std::string CacheValue(const StandinEngine& engine, const char* key) {
    char value[256] = {};
    ::GetPrivateProfileStringA("ORMVEX", key, "\x01", value, sizeof value,
                               (engine.Folder() + "config\\cache.ini").c_str());
    return value;
}

std::string SettingValue(const StandinEngine& engine, const char* key) {
    char value[256] = {};
    ::GetPrivateProfileStringA("standin", key, "", value, sizeof value,
                               (engine.Folder() + "config\\standin.ini").c_str());
    return value;
}

std::string HttpGet(int port) {
    WSADATA wsa{};
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    std::string response;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const DWORD timeout = 3000;
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = "GET / HTTP/1.0\r\nHost: localhost\r\n\r\n";
        ::send(s, request.data(), static_cast<int>(request.size()), 0);
        char chunk[1024];
        int got = 0;
        while ((got = ::recv(s, chunk, sizeof chunk, 0)) > 0) response.append(chunk, static_cast<std::size_t>(got));
    }
    ::closesocket(s);
    ::WSACleanup();
    const std::size_t body = response.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : response.substr(body + 4);
}

}  // namespace testing_support
