// Small helpers of the channel tests: GBK texts, answer fields, the stand-in's
// files, and a plain HTTP GET on the loopback.
#pragma once
#include <string>

#include "channel/standin_engine.h"

namespace testing_support {

// GBK bytes of a wide literal, independent of the machine's code page.
std::string GbkOf(const std::wstring& wide);
// "<data>" content, or an element inside it.
std::string DataOf(const std::string& answer);
std::string FieldOf(const std::string& answer, const std::string& tag);
// A key of section ORMVEX in the installation's config\cache.ini ("\x01" when missing).
std::string CacheValue(const StandinEngine& engine, const char* key);
// A key of the stand-in's settings, section "standin".
std::string SettingValue(const StandinEngine& engine, const char* key);
// The body of GET / from 127.0.0.1:port; empty when nothing answers.
std::string HttpGet(int port);

}  // namespace testing_support
