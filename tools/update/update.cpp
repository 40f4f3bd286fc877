// Stand-in for the maker's update.exe, which the installer only delivers: it shows
// nothing and ends at once with success.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
