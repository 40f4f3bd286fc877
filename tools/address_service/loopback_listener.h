// One HTTP listener on 127.0.0.1: it takes one short connection at a time and hands
// the request line to a callback that returns the whole response.
#pragma once
#include <winsock2.h>

#include <functional>
#include <string>

#include "foundation/unique_handle.h"

inline void CloseSocketNoexcept(SOCKET s) noexcept { ::closesocket(s); }
using UniqueSocket = UniqueHandle<HandleTraits<SOCKET, INVALID_SOCKET, CloseSocketNoexcept>>;

// The socket listening on loopback at port, or none; a port that another program
// holds is tried again kBindAttempts times, a second apart.
UniqueSocket ListenOnLoopbackPort(unsigned short port);

// Serves until the process ends: reads each request's head and sends what answer()
// makes of its first line.
void ServeForever(const UniqueSocket& listener, const std::function<std::string(const std::string&)>& answer);
