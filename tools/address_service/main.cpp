// address_service.exe: the public-address service of this machine's loopback, for
// development, the demo and the tests. Command lines:
//   --ip TEXT          every answer is "<ip>TEXT</ip>"
//   --ip-file PATH     every answer is "<ip>" + the file's text + "</ip>", read anew
//                      for each request
// It answers a GET of the build's address-service path (other paths get 404) on
// 127.0.0.1 at the build's address-service port, until it is ended.
#include <winsock2.h>

#include <cstdio>
#include <string>

#include "foundation/text.h"
#include "tools/address_service/address_answer.h"
#include "tools/address_service/loopback_listener.h"

namespace {

constexpr unsigned short kPort = ADDRESS_SERVICE_PORT;
constexpr char kPath[] = ADDRESS_SERVICE_PATH;

std::string Response(const char* status, const std::string& body) {
    return std::string("HTTP/1.1 ") + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
           UIntText(static_cast<std::uint32_t>(body.size())) + "\r\nConnection: close\r\n\r\n" + body;
}

// "GET /ip HTTP/1.1", also with a query after the path.
bool AsksForTheAddress(const std::string& requestLine) {
    const std::string prefix = std::string("GET ") + kPath;
    if (requestLine.compare(0, prefix.size(), prefix) != 0) return false;
    const char next = requestLine.size() > prefix.size() ? requestLine[prefix.size()] : '\0';
    return next == ' ' || next == '?';
}

}  // namespace

int main(int argc, char** argv) {
    const std::string option = argc == 3 ? argv[1] : "";
    if (option != "--ip" && option != "--ip-file") {
        std::printf("address_service: --ip TEXT or --ip-file PATH\n");
        return 2;
    }
    const CAddressAnswer answer(option == "--ip" ? argv[2] : "", option == "--ip-file" ? argv[2] : "");

    WSADATA wsa{};
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
    const UniqueSocket listener = ListenOnLoopbackPort(kPort);
    if (!listener) {
        std::printf("address_service: port %u on 127.0.0.1 is taken\n", static_cast<unsigned>(kPort));
        return 1;
    }
    std::printf("address_service: http://127.0.0.1:%u%s answers %s\n", static_cast<unsigned>(kPort), kPath,
                answer.Body().c_str());
    std::fflush(stdout);
    ServeForever(listener, [&answer](const std::string& requestLine) {
        return AsksForTheAddress(requestLine) ? Response("200 OK", answer.Body())
                                              : Response("404 Not Found", std::string());
    });
    return 0;
}
