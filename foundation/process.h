// Free process routines shared by every program: start a program hidden and wait,
// run a batch text through the command interpreter, open a path or address with the
// shell, put text on the clipboard, and tell a WOW64 process. CHardware (hardware.h)
// holds the process-by-name, tray and shortcut operations.
#pragma once
#include <string>

// Starts "program parameters" hidden and waits for it without a time limit, then
// 500 ms more; 1 when it was started and waited for, 0 when the program is not a file.
int RunAndWait(const std::string& program, const std::string& parameters);
// Writes the text to the batch file, runs it with "%COMSPEC% /c", waits, deletes it.
int RunBatchText(const std::string& batchPath, const std::string& batchText);
// The shell's "open" verb in a normal window; nothing for an empty text.
long long OpenWithShell(const std::string& pathOrAddress);
// Places the narrow text on the clipboard as CF_TEXT; 1 on success.
int CopyToClipboard(const std::string& text);
// 1 when this 32-bit process runs under WOW64 on 64-bit Windows.
int IsWow64();
// Runs "%COMSPEC% /c <commandLine>" hidden and waits for it; 1 when it ran.
int RunThroughInterpreter(const std::string& commandLine);
