// Serves the engine command channel: reads each sealed request from the endpoint
// and leaves the sealed answer in config\_panel.db, honouring the test switches.
#pragma once
#include <windows.h>

#include <string>

// Runs until stopEvent is set; false when the endpoint could not be created.
bool ServeEngineChannel(const std::string& folder, HANDLE stopEvent);
