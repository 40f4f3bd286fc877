// The one HTTP GET of the installer: asking the address service for this machine's
// public IPv4 address, to build the management address reachable from elsewhere.
#pragma once
#include <string>

struct HttpAddress {
    std::wstring host;
    std::wstring objectPath;  // from the first "/" after the host on, or empty
    unsigned short port = 80;
    bool secure = false;
};

// "http://host[:port]/path" or "https://...": the parts WinInet needs.
HttpAddress ParseHttpAddress(const std::wstring& address);

// True when the network list service reports a connection to the internet.
bool IsInternetConnected();

// True when the request was sent, its headers read and a non-empty body received
// (the status code is not looked at: an error page counts as an answer).
bool HttpGet(const std::wstring& address, std::string& body);

// The local address with "://localhost" replaced by the public address, or empty.
std::string LookupPublicAddress(const std::string& localAddress);
// The same with the address service named explicitly (the build's one by default).
std::string LookupPublicAddressAt(const std::wstring& serviceAddress, const std::string& localAddress);
