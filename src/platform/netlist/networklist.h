#pragma once
// Internet-connection state of the machine, cheap and without traffic: some non-loopback interface
// is up and running with a routable address, and a default route exists. Tests replace the probe.
#include <functional>

namespace NetList {

// The connectivity as seen now.
enum class EConnectivity
{
    Disconnected = 0,
    Connected = 1
};

using ProbeFunction = std::function<EConnectivity()>;

// Runs the current probe (the system one unless a test injected its own).
EConnectivity Probe();

// The probe over the network interfaces and the kernel's routing tables.
EConnectivity ProbeSystem();

// Replaces the probe; an empty function restores the system probe.
void SetProbe(ProbeFunction probe);

// Injects a fixed state (shorthand for SetProbe with a constant).
void InjectState(EConnectivity state);

} // namespace NetList
