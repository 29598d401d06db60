#pragma once

#include "tool/command.h"

// The commands of kadrix-tool, one per tool/cmd_<name>.cpp.
namespace kadrix::tool {

int runType(std::span<char* const> args);
int runJpg(std::span<char* const> args);
int runIco(std::span<char* const> args);
int runEmf(std::span<char* const> args);
int runSnap(std::span<char* const> args);
int runAvi(std::span<char* const> args);

} // namespace kadrix::tool
