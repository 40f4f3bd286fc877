// A program that just runs for a while: "test_sleeper.exe <milliseconds>". Tests copy
// it where they need a running program (a file that is in use, a process to find).
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::Sleep(argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10000);
    return argc > 2 ? std::atoi(argv[2]) : 0;
}
