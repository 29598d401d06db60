// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace kadrix {

// Whether the volume mounted at mountPoint can be made the working directory:
// a folder the user may search (a vanished medium, a share that no longer
// answers, a root the user may not enter all say no). The working directory
// is not touched, so the look may run on any thread. It may block for as long
// as a hard-mounted share that stopped answering holds it.
bool IsDriveReady(const std::string& mountPoint);

// How long the user waits for a volume to answer when picking it.
inline constexpr std::chrono::milliseconds driveLookLimit{2000};

// look(mountPoint) on a worker thread: a look that has not answered within
// limit counts as not ready, and the worker is left to finish on its own.
bool isDriveReadyWithin(const std::string& mountPoint, std::chrono::milliseconds limit,
                        std::function<bool(const std::string&)> look = IsDriveReady);

} // namespace kadrix
