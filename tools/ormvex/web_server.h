// The management site of the stand-in: http\index.html of the installation over
// HTTP on 127.0.0.1 at the configured port, one short connection at a time.
#pragma once
#include <string>

// Runs until stopEvent is set; follows a change of the configured port.
void ServeManagementSite(const std::string& folder, void* stopEvent);
