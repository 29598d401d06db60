// SPDX-License-Identifier: GPL-3.0-or-later
// kadrix-tool: the library's file formats and screen grab for scripts and
// benchmarks. Results go to stdout in the order of the arguments; messages
// are English, name the file and go to stderr.
#include "tool/commands.h"

#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

namespace kadrix::tool {

namespace {

// Each command lives in a file of its own (cmd_<name>.cpp) and is listed here.
const std::vector<Command> commands = {
    {"type", "[--code] FILE...", "name each file's type from its leading bytes", typeDetails,
     runType},
    {"jpg", "FILE.bmp", "write FILE.jpg beside a BMP picture (quality 90)", jpgDetails, runJpg},
    {"ico", "FILE.bmp", "write FILE.ico, the picture's top-left 32 x 32 pixels as an icon",
     icoDetails, runIco},
    {"emf", "FILE.bmp", "write FILE.emf, the picture as an enhanced metafile", emfDetails, runEmf},
    {"snap", "[--count N] X Y W H FILE.bmp", "grab a rectangle of the screen into a BMP file",
     snapDetails, runSnap},
    {"avi", "RATE OUT.avi FRAME.bmp...", "assemble BMP frames into an uncompressed AVI clip",
     aviDetails, runAvi},
    {"mp4", "CLIP.avi...", "write CLIP.mp4 beside each AVI clip (H.264, CRF 20)", mp4Details,
     runMp4},
    {"webm", "CLIP.avi...", "write CLIP.webm beside each AVI clip (VP9, CRF 32)", webmDetails,
     runWebm},
    {"gif", "CLIP.avi...", "write CLIP.gif beside each AVI clip (one palette for the clip)",
     gifDetails, runGif},
};

void print(std::FILE* out, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out);
}

void printUsageLine(std::FILE* out, const Command& command) {
    print(out, "usage: kadrix-tool ");
    print(out, command.name);
    print(out, " ");
    print(out, command.usage);
    print(out, "\n");
}

int help(std::FILE* out) {
    print(out, "usage: kadrix-tool COMMAND ARGS...\n"
               "       kadrix-tool COMMAND --help\n"
               "       kadrix-tool --version\n\n"
               "Commands:\n");
    for (const Command& command : commands) {
        std::fprintf(out, "  %-6.*s %.*s\n", static_cast<int>(command.name.size()),
                     command.name.data(), static_cast<int>(command.summary.size()),
                     command.summary.data());
    }
    return out == stdout ? 0 : 2;
}

int commandHelp(const Command& command) {
    printUsageLine(stdout, command);
    print(stdout, "\n");
    print(stdout, command.details);
    return 0;
}

bool isHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

int run(const Command& command, std::span<char* const> args) {
    if (!args.empty() && isHelp(args[0]))
        return commandHelp(command);
    try {
        return command.run(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "kadrix-tool %.*s: %s\n", static_cast<int>(command.name.size()),
                     command.name.data(), error.what());
        printUsageLine(stderr, command);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kadrix-tool %.*s: %s\n", static_cast<int>(command.name.size()),
                     command.name.data(), error.what());
        return 1;
    }
}

} // namespace

} // namespace kadrix::tool

int main(int argc, char** argv) {
    using namespace kadrix::tool;
    if (argc < 2)
        return help(stderr);
    const std::string_view name = argv[1];
    if (isHelp(name) || name == "help")
        return help(stdout);
    if (name == "--version") {
        std::puts("kadrix-tool " KADRIX_VERSION);
        return 0;
    }
    for (const Command& command : commands) {
        if (command.name == name)
            return run(command,
                       std::span<char* const>(argv + 2, static_cast<std::size_t>(argc - 2)));
    }
    std::fprintf(stderr, "kadrix-tool: unknown command '%s'\n", argv[1]);
    return help(stderr);
}
