// The endpoint that the running engine serves: opened by name, one write per
// request. Needs no state, so the panel's status thread may probe it freely.
#pragma once
#include <string>

// True when the endpoint can be opened for writing at this moment; sends nothing.
bool IsEngineReachable();

// Opens the endpoint; with probeOnly it only closes it again, otherwise it writes
// the sealed request and its terminating zero byte in one write.
bool WriteEngineRequest(const std::string& request, bool probeOnly);
