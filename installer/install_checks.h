// The checks that the install button runs on the typed path before anything is
// written: the refusals of a path, the product folder added to a bare path, and the
// verdict on the version of an earlier installation.
#pragma once
#include <string>

// The refusal for path P (GBK), or empty when P is usable.
std::string PathRefusal(const std::string& path);

// P with "\ormvex" + four digits + "\" appended (doubled backslashes made single),
// unless P already names the product folder.
std::string WithProductFolder(const std::string& path);

struct EarlierInstallation {
    bool recordFound = false;
    std::string version;       // "curr_version" of the recorded installation
    bool acceptable = true;    // not newer than ours
    bool upgrade = false;      // a version is installed and its engine is there
};
EarlierInstallation ExamineEarlierInstallation();

std::string UpgradeQuestion(const std::string& installedVersion);
std::string NewerVersionRefusal(const std::string& installedVersion);
std::string SingleHostRefusal();
// The confirmation for installing into P; `engineThere` when P already holds the engine.
std::string InstallQuestion(const std::string& path, bool engineThere);
// P + "\" + name with doubled backslashes made single.
std::string FileInFolder(const std::string& path, const std::string& name);
// True when P holds the engine program, also when an upgrade that was ended half-way
// left it moved aside under its ".del" name.
bool EngineProgramThere(const std::string& path);
