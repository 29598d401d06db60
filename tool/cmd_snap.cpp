#include "capture/bmp_writer.h"
#include "capture/output_name.h"
#include "platform/linux/x11_screen_grabber.h"
#include "tool/commands.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace kadrix::tool {

namespace {

constexpr const char* snapUsage =
    "usage: kadrix-tool snap [--count N] X Y W H FILE.bmp\n"
    "Grabs the screen rectangle at X,Y of W x H physical pixels into a BMP file at the\n"
    "screen's colour depth; parts outside the screen are black. With --count, grabs N\n"
    "pictures one after another into FILE000001.bmp, FILE000002.bmp, ...\n";

int usageError() {
    std::fputs(snapUsage, stderr);
    return 2;
}

bool parseInt(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// "shot.bmp" -> "shot000007.bmp": the number goes before the extension.
std::string numberedPath(const std::string& path, int number) {
    const std::size_t slash = path.rfind('/');
    std::size_t cut = path.rfind('.');
    if (cut == std::string::npos || (slash != std::string::npos && cut < slash))
        cut = path.size();
    return path.substr(0, cut) + counterDigits(number) + path.substr(cut);
}

} // namespace

// kadrix-tool snap: a screen rectangle into a BMP file.
int runSnap(std::span<char* const> args) {
    if (args.size() == 1 &&
        (std::string_view(args[0]) == "--help" || std::string_view(args[0]) == "-h")) {
        std::fputs(snapUsage, stdout);
        return 0;
    }
    int count = 1;
    const bool numbered = args.size() >= 2 && std::string_view(args[0]) == "--count";
    if (numbered) {
        if (!parseInt(args[1], count) || count < 1)
            return usageError();
        args = args.subspan(2);
    }
    ScreenRect rect;
    if (args.size() != 5 || !parseInt(args[0], rect.x) || !parseInt(args[1], rect.y) ||
        !parseInt(args[2], rect.width) || !parseInt(args[3], rect.height) || rect.width <= 0 ||
        rect.height <= 0)
        return usageError();
    const std::string path = args[4];

    X11ScreenGrabber grabber;
    for (int number = 1; number <= count; ++number)
        writeBmp(numbered ? numberedPath(path, number) : path, grabber.grab(rect));
    return 0;
}

} // namespace kadrix::tool
