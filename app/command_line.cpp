// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <string_view>

namespace kadrix {

namespace {

constexpr std::string_view usage =
    "usage: kadrix\n"
    "       kadrix --help\n"
    "       kadrix --version\n"
    "\n"
    "Kadrix takes a picture, a short clip or a short sound of the region of the\n"
    "screen under its window, in a folder picked in its own file browser. It\n"
    "lives in the notification area; starting it again shows the running copy.\n"
    "\n"
    "Options:\n"
    "  -h, --help  print this text\n"
    "  --version   print the version\n";

bool isHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

} // namespace

std::optional<int> answerCommandLine(std::span<char* const> arguments, std::FILE* out,
                                     std::FILE* err) {
    // Every argument is checked before any is answered: "--version --bogus"
    // is a mistake, not a version.
    for (const char* argument : arguments) {
        const std::string_view text = argument;
        if (isHelp(text) || text == "--version")
            continue;
        if (text.starts_with('-'))
            std::fprintf(err, "kadrix: unknown option '%s' (kadrix --help lists them)\n", argument);
        else
            std::fprintf(err, "kadrix: takes no file or other argument: '%s'\n", argument);
        return 2;
    }
    if (arguments.empty())
        return std::nullopt;
    if (isHelp(arguments[0]))
        std::fwrite(usage.data(), 1, usage.size(), out);
    else
        std::fputs("kadrix " KADRIX_VERSION "\n", out);
    // An answer lost on the way (a full disk, a closed pipe) is no success.
    return std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
}

} // namespace kadrix
