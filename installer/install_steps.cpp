#include "installer/install_steps.h"

#include <shellapi.h>

#include "channel/engine_query.h"
#include "foundation/files.h"
#include "foundation/hardware.h"
#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/product.h"
#include "foundation/service_ctrl.h"
#include "foundation/text.h"
#include "installer/address_lookup.h"
#include "installer/firewall_rule.h"
#include "installer/folder_permissions.h"
#include "installer/payload_placement.h"
#include "installer/uninstall_entry.h"

namespace {

constexpr DWORD kAfterServiceRegistrationMs = 1000;  // the "/i" runs register meanwhile
constexpr DWORD kBeforeAddressQueryMs = 400;
constexpr DWORD kBeforeServiceStartsMs = 200;
constexpr DWORD kBeforeSecondStartsMs = 1000;
constexpr DWORD kBetweenServiceStartsMs = 100;
constexpr char kLocalAddressBase[] = "http://localhost:6689/";

void OpenHidden(const std::string& program, const char* parameters, int show) {
    ::ShellExecuteA(nullptr, "open", program.c_str(), parameters, nullptr, show);
}

}  // namespace

std::string InstallResultLine(bool upgrade) { return upgrade ? ToGbk(L"升级完成！") : ToGbk(L"安装完成！"); }

bool DoInstall(const InstallInputs& inputs, const InstallUi& ui, InstallAddresses& addresses) {
    std::string logFolder = inputs.logFolder;
    if (!logFolder.empty() && logFolder.back() != '\\') logFolder += '\\';
    const std::string updateLog = logFolder + "log\\update.log";
    CServiceCtrl services;
    CHardware hardware;

    // 1. The folder, ending in a backslash.
    std::string d = CStringUtil().WideToMulti(inputs.pathField);
    if (d.empty() || d.back() != '\\') d += '\\';

    // 2. A folder made here belongs to the administrators and the system alone; an
    // existing one keeps its permissions.
    if (!PathExistsReal(d, true)) {
        CreateFolderPath(d);
        PermissionContext permissions;
        SetPathPermission(AdministratorsGroupName(), permissions, d, "all", true);
        SetPathPermission("SYSTEM", permissions, d, "all", false);
    }
    // 3. The log folder.
    if (!PathExistsReal(d + "log\\", true)) CreateFolderPath(d + "log\\");

    // 4. The payload. A placement that left a program file old is a failed run, not a
    // finished upgrade: the log says which file, and running the installer again
    // repairs it.
    PlacementRequest placement;
    placement.installDir = d;
    placement.unattended = inputs.unattended;
    placement.updateLog = updateLog;
    placement.payloadModule = inputs.payloadModule;
    placement.showError = ui.showError;
    if (UnpackAndPlacePayload(placement) != PlacementResult::Placed) return false;

    // 5. A new installation: the engine sets itself up under a new entry path.
    const std::string engine = d + "ormvex.exe";
    std::string entryPath;
    if (!inputs.upgrade && FileExistsReal(engine)) {
        entryPath = RandomText8();
        ToLowerInPlace(entryPath);
        RunAndWait(engine, "install " + entryPath);
        WriteUninstallEntry(d);
    }

    // 6. Each program registers its own service.
    OpenHidden(engine, "/i", SW_HIDE);
    OpenHidden(d + "ormvexd.exe", "/i", SW_HIDE);
    ::Sleep(kAfterServiceRegistrationMs);

    // 7. Restart on failure.
    services.SetRestartOnFailure(kEngineServiceName);
    services.SetRestartOnFailure(kWatchdogServiceName);

    // 8. Shortcuts, on a new installation when asked for.
    const std::string panel = d + "OrmVexPanel.exe";
    if (!entryPath.empty() && inputs.desktopLink) {
        addresses.local = kLocalAddressBase + entryPath;
        hardware.CreateDesktopShortcut(panel, panel, ProductName());
        hardware.CreateStartMenuShortcuts(d, addresses.local, ProductName());
    }

    // 9. Otherwise the engine knows its address.
    if (!inputs.unattended && addresses.local.empty()) {
        ::Sleep(kBeforeAddressQueryMs);
        addresses.local = TextBetween(RunEngineQuery("getentrylocalurl", d), "<entry>", "</entry>");
    }

    // 10. The address reachable from other machines.
    if (!addresses.local.empty()) addresses.publicAddress = LookupPublicAddress(addresses.local);

    // 11. Autostart.
    hardware.RefreshTrayArea();
    hardware.SetAutorun(panel, kAutorunValueName, AutorunFlavour::Installer);

    // 12. The panel and the firewall rule, when someone is watching.
    if (!inputs.unattended) {
        OpenHidden(panel, "autorun", SW_SHOWNOACTIVATE);
        OpenPanelPortInFirewall();
    }

    // 13. and 14. The services.
    ::Sleep(kBeforeServiceStartsMs);
    const std::string resultLine = InstallResultLine(inputs.upgrade);
    services.StartOrStop(kEngineServiceName, true, std::string(), false);
    services.StartOrStop(kWatchdogServiceName, true, std::string(), false);

    // 15. The end: a log line, or the success dialog.
    if (inputs.unattended) {
        WriteUpdateLog(resultLine, updateLog);
    } else {
        ::Sleep(kBeforeSecondStartsMs);
        services.StartOrStop(kWatchdogServiceName, true, std::string(), false);
        ::Sleep(kBetweenServiceStartsMs);
        services.StartOrStop(kEngineServiceName, true, std::string(), false);
        if (ui.hideSetupWindow) ui.hideSetupWindow();
        if (ui.runSuccessDialog) ui.runSuccessDialog(addresses.local, addresses.publicAddress);
    }
    // 16.
    return true;
}
