// Registered as the http handler of a test's prefix: writes the address it was
// asked to open into C:\opened_address.txt instead of starting a browser.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string line = ::GetCommandLineA();
    // The command line is "recorder" "address"; keep the last quoted part.
    size_t end = line.find_last_of('"');
    size_t start = end == std::string::npos || end == 0 ? std::string::npos : line.find_last_of('"', end - 1);
    std::string address = start == std::string::npos ? line : line.substr(start + 1, end - start - 1);
    HANDLE file = ::CreateFileA("C:\\opened_address.txt.part", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(file, address.data(), static_cast<DWORD>(address.size()), &written, nullptr);
    ::CloseHandle(file);
    // Renamed only when complete, so a reader never sees half an address.
    ::MoveFileExA("C:\\opened_address.txt.part", "C:\\opened_address.txt", MOVEFILE_REPLACE_EXISTING);
    return 0;
}
