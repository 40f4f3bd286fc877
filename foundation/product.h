// The product's fixed names and numbers, shared by every program.
#pragma once
#include <string>

#include "foundation/text.h"

inline constexpr wchar_t kProductNameWide[] = L"Orm·防入侵集群系统";
inline constexpr char kProductVersion[] = "1.1.0";
inline constexpr char kPanelPort[] = "6689";
inline constexpr char kEngineServiceName[] = "ormvex";
inline constexpr char kWatchdogServiceName[] = "ormvexd";
inline constexpr char kAutorunValueName[] = "OrmVexPanel";

// "Orm·防入侵集群系统" as GBK bytes.
inline std::string ProductName() { return ToGbk(kProductNameWide); }
