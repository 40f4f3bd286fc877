#include "service/my_service.h"

#include <string>

namespace {

std::string ServiceKey(const char* name, const char* subkey) {
    return std::string("SYSTEM\\CurrentControlSet\\Services\\") + name + "\\" + subkey;
}

// A missing value leaves the member as it was.
void ReadNumber(HKEY key, const char* name, std::int32_t& member) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        size == sizeof(value))
        member = static_cast<std::int32_t>(value);
}

}  // namespace

CMyService::CMyService(const char* name, CThread& worker) : CNTService(name), Counter(StartValue), worker_(worker) {}

void CMyService::Execute() {
    while (Running) {
        ::Sleep(kCounterLoopMs);
        Counter += Increment;
    }
}

bool CMyService::OnInitialize() {
    UniqueHKey parameters;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, ServiceKey(ServiceName, "Parameters").c_str(), 0, KEY_QUERY_VALUE,
                        parameters.put()) == ERROR_SUCCESS) {
        ReadNumber(parameters.get(), "Start", StartValue);
        ReadNumber(parameters.get(), "Inc", Increment);
    }
    Counter = StartValue;
    return true;
}

bool CMyService::OnCustomControl(DWORD code) {
    if (code != kSaveCounterControl) return false;
    SaveCounter();
    return true;
}

void CMyService::OnRunning() { worker_.StartWorker(); }

void CMyService::SaveCounter() {
    UniqueHKey status;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, ServiceKey(ServiceName, "Status").c_str(), 0, const_cast<char*>(""),
                          REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, status.put(), nullptr) != ERROR_SUCCESS)
        return;
    const DWORD value = static_cast<DWORD>(Counter.load());
    ::RegSetValueExA(status.get(), "Current", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}
