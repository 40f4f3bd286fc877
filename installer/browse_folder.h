// The system's folder-browsing dialog, started at a folder the user had already.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

class CBrowseFolder {
public:
    CBrowseFolder();
    virtual ~CBrowseFolder();
    CBrowseFolder(const CBrowseFolder&) = delete;
    CBrowseFolder& operator=(const CBrowseFolder&) = delete;

    // 1: a folder was chosen (Path() holds it); 0: cancelled; -1: no shell allocator.
    int Browse(const std::string& startPath, HWND owner);
    std::string Path() const { return m_pszPath.get(); }

private:
    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data);
    std::unique_ptr<char[]> m_pszPath;
};
