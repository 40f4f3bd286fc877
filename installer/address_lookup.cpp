#include "installer/address_lookup.h"

#include <windows.h>
#include <netlistmgr.h>
#include <wininet.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "foundation/com_ptr.h"
#include "foundation/unique_handle.h"
#include "foundation/scramble.h"
#include "foundation/text.h"

namespace {

constexpr wchar_t kUserAgent[] =
    L"Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/58.0.3029.110 "
    L"Safari/537.36";
constexpr DWORD kHeaderBufferSize = 4096;
constexpr DWORD kReceiveBufferSize = 0x100000;  // reused for every read

void CloseInternet(HINTERNET h) noexcept { ::InternetCloseHandle(h); }
using UniqueInternet = UniqueHandle<HandleTraits<HINTERNET, nullptr, CloseInternet>>;

}  // namespace

HttpAddress ParseHttpAddress(const std::wstring& address) {
    HttpAddress parsed;
    std::wstring rest = address;
    size_t at = rest.find(L"http://");
    if (at != std::wstring::npos) {
        rest = rest.substr(at + 7);
    } else if ((at = rest.find(L"https://")) != std::wstring::npos) {
        rest = rest.substr(at + 8);
        parsed.port = INTERNET_DEFAULT_HTTPS_PORT;
        parsed.secure = true;
    }
    const size_t slash = rest.find(L'/');
    parsed.host = rest.substr(0, slash);
    if (slash != std::wstring::npos) parsed.objectPath = rest.substr(slash);
    const size_t colon = parsed.host.find(L':');
    if (colon != std::wstring::npos) {
        parsed.port = static_cast<unsigned short>(_wtoi(parsed.host.c_str() + colon + 1));
        parsed.host.erase(colon);
    }
    return parsed;
}

bool IsInternetConnected() {
    ComInit com;
    if (!com.Usable()) return false;
    ComPtr<INetworkListManager> manager;
    if (FAILED(::CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL, IID_INetworkListManager,
                                  manager.PutVoid())))
        return false;
    VARIANT_BOOL connected = VARIANT_FALSE;
    if (FAILED(manager->IsConnectedToInternet(&connected))) return false;
    return connected == VARIANT_TRUE;
}

bool HttpGet(const std::wstring& address, std::string& body) {
    // 1. The parts of the address, the library and the connection.
    const HttpAddress parsed = ParseHttpAddress(address);
    UniqueInternet internet(::InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) return false;
    UniqueInternet connection(::InternetConnectW(internet.get(), parsed.host.c_str(), parsed.port, nullptr, nullptr,
                                                 INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return false;
    // 2. A fresh copy from the server, over TLS for https.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
    if (parsed.secure) flags |= INTERNET_FLAG_SECURE;
    UniqueInternet request(::HttpOpenRequestW(connection.get(), L"GET", parsed.objectPath.c_str(), L"HTTP/1.1",
                                              nullptr, nullptr, flags, 0));
    if (!request) return false;
    // 3. The header block, with the full address as referrer.
    std::vector<wchar_t> headers(kHeaderBufferSize + 1, L'\0');
    std::swprintf(headers.data(), kHeaderBufferSize,
                  L"Accept: */*\r\nReferer: %ls\r\nAccept-Language: zh-cn\r\nContent-Type: "
                  L"application/x-www-form-urlencoded\r\n\r\n",
                  address.substr(0, kHeaderBufferSize / 2).c_str());
    if (!::HttpSendRequestW(request.get(), headers.data(), static_cast<DWORD>(-1L), nullptr, 0)) return false;
    // 4. The raw headers must fit the buffer.
    std::vector<char> rawHeaders(kHeaderBufferSize, '\0');
    DWORD headerSize = kHeaderBufferSize;
    if (!::HttpQueryInfoA(request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, rawHeaders.data(), &headerSize, nullptr))
        return false;
    // 5. The body.
    std::vector<char> chunk(kReceiveBufferSize);
    body.clear();
    while (true) {
        DWORD read = 0;
        if (!::InternetReadFile(request.get(), chunk.data(), kReceiveBufferSize, &read) || read == 0) break;
        body.append(chunk.data(), read);
    }
    // 6. Handles close with their owners.
    return !body.empty();
}

std::string LookupPublicAddressAt(const std::wstring& serviceAddress, const std::string& localAddress) {
    if (!IsInternetConnected()) return std::string();
    std::string answer;
    HttpGet(serviceAddress, answer);
    const std::string address = TextBetween(answer, "<ip>", "</ip>");
    if (!IsIPv4Text(address)) return std::string();
    std::string publicAddress = localAddress;
    ReplaceAll("://localhost", publicAddress, "://" + address);
    return publicAddress;
}

std::string LookupPublicAddress(const std::string& localAddress) {
    return LookupPublicAddressAt(CStringUtil().MultiToWide(Unscrambled(scrambled::kAddressServiceUrl)),
                                 localAddress);
}
