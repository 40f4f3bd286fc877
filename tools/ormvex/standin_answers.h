// What the stand-in answers to each command of the engine's table, and the state
// it shows to the panel and the installer through config\cache.ini.
#pragma once
#include <string>

#include "tools/ormvex/standin_settings.h"

// The plain answer text to a request "<cmd>word</cmd>parameters"; carries out the
// change that the command asks for.
std::string AnswerRequest(const CStandinSettings& settings, const std::string& request);

// Brings config\cache.ini (section ORMVEX, "unusual" and "curr_version") in line
// with the settings; writes only what differs.
void UpdateCacheIni(const CStandinSettings& settings);
