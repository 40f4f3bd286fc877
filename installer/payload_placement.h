// Writing the payload to a staging folder, unpacking it there and placing its files
// into the installation folder: programs replaced in place even while they run, web
// pages replaced as a whole, the configuration kept, everything else copied over.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct PlacementRequest {
    std::string installDir;       // ends with a backslash
    bool unattended = false;      // refusals go to the update log instead of a box
    std::string updateLog;        // log\update.log of this run
    HMODULE payloadModule = nullptr;  // the module holding the "ZIP" 130 resource; null: this program
    // Shows an error to the user (interactive runs only): kind 3, no Cancel, title "提示".
    std::function<void(const std::string& text)> showError;
};

enum class PlacementResult {
    Placed,          // every program file replaced, every file placed
    Incomplete,      // placed, but a program file is missing from the payload or was not replaced
    Failed,          // staging folder, payload or archive unusable; nothing placed
};

PlacementResult UnpackAndPlacePayload(const PlacementRequest& request);

// The staging folder of one run: installDir + "temp\new_<seconds>\".
std::string StagingFolder(const std::string& installDir);
