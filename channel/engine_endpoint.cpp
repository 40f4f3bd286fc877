#include "channel/engine_endpoint.h"

#include <windows.h>

#include <chrono>
#include <thread>

#include "foundation/aes.h"
#include "foundation/scramble.h"
#include "foundation/unique_handle.h"

namespace {

// A mailslot admits one client handle at a time under Wine: an open made while
// another thread or process holds one (a status probe, a request being written)
// fails with a sharing violation for the few microseconds that the other holds it.
// Such an open is tried again, 50 times 10 ms apart; an open that fails because
// nothing serves the name fails at once.
constexpr int kBusyOpenAttempts = 50;
constexpr std::chrono::milliseconds kBusyOpenInterval{10};

UniqueFile OpenEndpoint() {
    const std::string endpoint = Unscrambled(scrambled::kChannelEndpoint);
    for (int attempt = 1;; ++attempt) {
        UniqueFile handle(::CreateFileA(endpoint.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle || ::GetLastError() != ERROR_SHARING_VIOLATION || attempt >= kBusyOpenAttempts) return handle;
        std::this_thread::sleep_for(kBusyOpenInterval);
    }
}

}  // namespace

bool IsEngineReachable() { return WriteEngineRequest(std::string(), true); }

bool WriteEngineRequest(const std::string& request, bool probeOnly) {
    // 1-2. Open the endpoint.
    UniqueFile endpoint = OpenEndpoint();
    if (!endpoint) return false;
    // 3. A probe only shows that it can be opened.
    if (probeOnly) return true;
    // 4. Seal with a fresh cipher.
    std::string wire;
    {
        const CAesText cipher(Unscrambled(scrambled::kChannelKey));
        wire = cipher.SealText(request);
    }
    // 5. The zero byte ends the request for the engine; one write is one request.
    wire.push_back('\0');
    DWORD written = 0;
    return ::WriteFile(endpoint.get(), wire.data(), static_cast<DWORD>(wire.size()), &written, nullptr) != FALSE;
    // 6. The handle closes with its owner.
}
