// Process, notification-area and clean-up operations, and the shortcuts and the
// autostart value. CHardware keeps no state; create one on the stack where needed.
#pragma once
#include <string>

// The two programs word the errors of SetAutorun differently.
enum class AutorunFlavour { Panel, Installer };

class CHardware {
public:
    virtual ~CHardware() = default;

    // Processes are matched by image file name only, ignoring case.
    // 1 running, 0 not running, -1 for an empty name or an unreadable process list.
    int IsProcessRunning(const std::string& imageName);
    // 1 when at least one process was ended; never ends the calling process.
    int KillProcessByName(const std::string& imageName);
    int EnableDebugPrivilege();
    // Moves a pretend pointer across the notification area so that icons of dead
    // processes vanish; returns the number of mouse-move messages sent.
    int RefreshTrayArea();
    // Appends the self-deleting clean-up batch; always 0.
    int WriteCleanupBatch(const std::string& batchPath, bool removeExtraPath, const std::string& extraPath);

    std::string GetDesktopFolder();
    // 1 when the link object was used; the panel passes no arguments.
    int CreateShortcut(const std::string& linkPath, const std::string& target, const std::string& iconPath,
                       const std::string& arguments, const std::string& description);
    void CreateDesktopShortcut(const std::string& target, const std::string& iconPath, const std::string& title);
    void CreateStartMenuShortcuts(const std::string& installFolder, const std::string& panelTarget,
                                  const std::string& name);
    void DeleteDesktopShortcut(const std::string& title);
    // 1 when the program group could be located.
    int DeleteStartMenuShortcuts(const std::string& name);
    // Empty text on success, else an error text in the program's wording.
    std::string SetAutorun(const std::string& panelPath, const std::string& valueName, AutorunFlavour flavour);
    int RemoveAutorun(const std::string& valueName);
};
