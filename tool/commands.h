// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tool/command.h"

// The commands of kadrix-tool, one per tool/cmd_<name>.cpp, each with the
// text its --help prints below the usage line.
namespace kadrix::tool {

int runType(std::span<char* const> args);
int runJpg(std::span<char* const> args);
int runIco(std::span<char* const> args);
int runEmf(std::span<char* const> args);
int runSnap(std::span<char* const> args);
int runAvi(std::span<char* const> args);
int runMp4(std::span<char* const> args);
int runWebm(std::span<char* const> args);
int runGif(std::span<char* const> args);

extern const std::string_view typeDetails;
extern const std::string_view jpgDetails;
extern const std::string_view icoDetails;
extern const std::string_view emfDetails;
extern const std::string_view snapDetails;
extern const std::string_view aviDetails;
extern const std::string_view mp4Details;
extern const std::string_view webmDetails;
extern const std::string_view gifDetails;

} // namespace kadrix::tool
