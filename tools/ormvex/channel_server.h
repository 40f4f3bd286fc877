// Serves the engine command channel: reads each sealed request from the endpoint
// and leaves the sealed answer in config\_panel.db, honouring the test switches.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"

// Creates the endpoint; an invalid handle when it cannot be created.
UniqueFile OpenEngineEndpoint();

// Serves the endpoint until stopEvent is set.
void ServeEngineChannel(const std::string& folder, HANDLE endpoint, HANDLE stopEvent);
