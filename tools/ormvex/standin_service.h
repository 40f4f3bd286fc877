// The stand-in as the Windows service "ormvex": registering itself, and running
// under the service control manager until it is told to stop.
#pragma once

// Registers the service with this program's own path; 0 also when it is already
// registered, 1 when the service control manager refused.
int RegisterStandinService();

// Hands this process to the service control manager; returns when the service
// has stopped. 0 when the dispatcher ran, 1 when this process was not started by
// the service control manager.
int RunStandinService();
