// Stands in for the command interpreter of a test's panel (its COMSPEC): appends the
// arguments it was given as one line to C:\interpreter_commands.txt, then hands them
// to the real cmd.exe, so the commands still run.
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"

int main() {
    std::string line = ::GetCommandLineA();
    // The interpreter's own path comes first, quoted by the caller.
    size_t start = line[0] == '"' ? line.find('"', 1) : line.find(' ');
    std::string arguments = start == std::string::npos ? "" : line.substr(start + 1);
    while (!arguments.empty() && arguments[0] == ' ') arguments.erase(0, 1);
    {
        UniqueFile log(::CreateFileA("C:\\interpreter_commands.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string entry = arguments + "\r\n";
        DWORD written = 0;
        if (log) ::WriteFile(log.get(), entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    }
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    std::string command = "\"" + std::string(system) + "\\cmd.exe\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 1;
    UniqueHandleKernel process(info.hProcess), thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}
