#pragma once

#include "tool/command.h"

// The commands of kadrix-tool, one per tool/cmd_<name>.cpp.
namespace kadrix::tool {

} // namespace kadrix::tool
