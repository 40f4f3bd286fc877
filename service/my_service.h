// The service ormvexd: a counter kept for the control code 128, and the watchdog
// worker started once the service runs.
#pragma once
#include <atomic>
#include <cstdint>

#include "service/nt_service.h"
#include "service/watchdog.h"

class CMyService : public CNTService {
public:
    static constexpr DWORD kSaveCounterControl = 128;
    static constexpr DWORD kCounterLoopMs = 1000;

    CMyService(const char* name, CThread& worker);

    void Execute() override;
    bool OnInitialize() override;
    bool OnCustomControl(DWORD code) override;
    void OnRunning() override;
    void SaveCounter();

    std::int32_t StartValue = 0;
    std::int32_t Increment = 1;
    std::atomic<std::int32_t> Counter{0};

private:
    CThread& worker_;
};
