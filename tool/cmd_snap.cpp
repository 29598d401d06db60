// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/error.h"
#include "core/naming/output_name.h"
#include "core/picture/bmp_writer.h"
#include "platform/screen_grabber.h"
#include "tool/commands.h"

#include <exception>
#include <string>
#include <string_view>

namespace kadrix::tool {

namespace {

// "shot.bmp" -> "shot000007.bmp": the number goes before the extension.
std::string numberedPath(const std::string& path, int number) {
    const std::size_t slash = path.rfind('/');
    std::size_t cut = path.rfind('.');
    if (cut == std::string::npos || (slash != std::string::npos && cut < slash))
        cut = path.size();
    return path.substr(0, cut) + counterDigits(number) + path.substr(cut);
}

} // namespace

constinit const std::string_view snapDetails =
    "Grabs the screen rectangle at X,Y of W x H physical pixels from the X11\n"
    "display in $DISPLAY into a BMP file at the screen's colour depth; parts\n"
    "outside the screen are black. In a Wayland session the rectangle is in\n"
    "the compositor's logical layout and the picture comes from the compositor\n"
    "(wlr-screencopy), or from the desktop portal's screen cast where there is\n"
    "none (GNOME, KDE: the desktop asks once), in device pixels: at output\n"
    "scale 2, twice as wide and high. With --count, grabs N pictures one after\n"
    "another into FILE000001.bmp, FILE000002.bmp, ...\n";

// kadrix-tool snap [--count N] X Y W H FILE.bmp
int runSnap(std::span<char* const> args) {
    int count = 1;
    const bool numbered = args.size() >= 2 && std::string_view(args[0]) == "--count";
    if (numbered) {
        if (!parseInt(args[1], count) || count < 1)
            throw UsageError("--count takes a number of at least 1");
        args = args.subspan(2);
    }
    ScreenRect rect;
    if (args.size() != 5 || !parseInt(args[0], rect.x) || !parseInt(args[1], rect.y) ||
        !parseInt(args[2], rect.width) || !parseInt(args[3], rect.height) || rect.width <= 0 ||
        rect.height <= 0)
        throw UsageError("a rectangle X Y W H of at least one pixel and a file expected");
    const std::string path = args[4];

    // The program's own choice: the compositor's grab in a Wayland session.
    const std::unique_ptr<ScreenGrabber> grabber = openSessionScreenGrabber();
    for (int number = 1; number <= count; ++number) {
        const std::string output = numbered ? numberedPath(path, number) : path;
        try {
            writeBmp(output, grabber->grab(rect));
        } catch (const std::exception& error) {
            throw Error(fileError(output, error.what()));
        }
    }
    return 0;
}

} // namespace kadrix::tool
