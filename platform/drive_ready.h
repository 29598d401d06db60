#pragma once

#include <string>

namespace kadrix {

// Whether the volume mounted at mountPoint can be made the working directory
// (a vanished medium, a share that no longer answers, a root the user may not
// enter all say no). The working directory is put back afterwards; when that
// fails, kadrix::Error is thrown.
bool IsDriveReady(const std::string& mountPoint);

} // namespace kadrix
