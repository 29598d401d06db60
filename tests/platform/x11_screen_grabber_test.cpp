// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/x11_screen_grabber.h"

#include "core/error.h"
#include "tests/platform/x11_test_picture.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <xcb/shm.h>

namespace kadrix {
namespace {

std::string describe(const ScreenRect& r) {
    return std::to_string(r.width) + " x " + std::to_string(r.height) + " at " +
           std::to_string(r.x) + "," + std::to_string(r.y);
}

// Compares the colour bytes of two grabs (not row padding, not the unused
// byte of a 32-bit pixel) and, on an indexed screen, the palette entries that
// the picture uses.
void expectSamePicture(const ImageView& got, const ImageView& want) {
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    ASSERT_EQ(got.format, want.format);
    const int bytes = bitsPerPixel(got.format) / 8;
    const int colourBytes = got.format == PixelFormat::Bgrx32 ? 3 : bytes;
    int wrong = 0;
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
            const std::byte* a = got.row(y) + x * bytes;
            const std::byte* b = want.row(y) + x * bytes;
            if (std::equal(a, a + colourBytes, b))
                continue;
            if (wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " differs";
        }
    }
    if (got.format != PixelFormat::Indexed8)
        return;
    for (const std::uint32_t pixel : rootPicture().pixelValuesInUse()) {
        EXPECT_TRUE(got.palette.size() > pixel && got.palette[pixel] == want.palette[pixel])
            << "palette entry " << pixel;
    }
}

bool serverHasShm(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection, &xcb_shm_id);
    return shm && shm->present;
}

TEST(X11ScreenGrabberTest, GrabsThePicturePixelForPixelWithBlackOffTheScreen) {
    const RootPicture& picture = rootPicture();
    const int w = picture.width();
    const int h = picture.height();
    FakeScreenGrabber screen = picture.fake();
    X11ScreenGrabber grabber;
    // Small before large before small: a shared segment is grown, then reused.
    const ScreenRect rects[] = {
        {13, 17, 301, 77},       {0, 0, w, h},           {w - 1, h - 1, 1, 1}, {-10, -5, 50, 40},
        {w - 20, h - 7, 60, 30}, {w - 3, 5, 10, 4},      {5, -30, 9, 31},      {w + 5, 0, 10, 10},
        {-100, -100, 50, 50},    {-1, -1, w + 2, h + 2}, {13, 17, 301, 77},
    };
    for (const ScreenRect& rect : rects) {
        SCOPED_TRACE(describe(rect));
        const ImageView got = grabber.grab(rect);
        EXPECT_EQ(got.format, picture.expectedFormat());
        expectSamePicture(got, screen.grab(rect));
    }
    EXPECT_EQ(grabber.usesSharedMemory(), serverHasShm(picture.connection()));
}

TEST(X11ScreenGrabberTest, WorksOnABorrowedConnectionAndLeavesItOpen) {
    const RootPicture& picture = rootPicture();
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    ASSERT_EQ(xcb_connection_has_error(connection), 0);
    {
        X11ScreenGrabber grabber(connection, screenNumber);
        const ScreenRect rect{-3, 2, 33, 21};
        expectSamePicture(grabber.grab(rect), picture.fake().grab(rect));
    }
    EXPECT_EQ(xcb_connection_has_error(connection), 0);
    // No error of the grabber's requests was left for the owner's event loop.
    xcb_generic_event_t* event = xcb_poll_for_event(connection);
    EXPECT_EQ(event, nullptr) << "event or error " << (event ? int{event->response_type} : 0);
    std::free(event);
    const XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    EXPECT_TRUE(focus);
    xcb_disconnect(connection);
}

// Shared memory segments that this process created: id and mode bits.
std::map<long long, unsigned> ourSegments() {
    std::ifstream table("/proc/sysvipc/shm");
    std::string line;
    std::getline(table, line); // column names
    std::map<long long, unsigned> modes;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        long long key = 0, id = 0, size = 0, creator = 0;
        unsigned mode = 0;
        fields >> key >> id >> std::oct >> mode >> std::dec >> size >> creator;
        if (creator == ::getpid())
            modes[id] = mode;
    }
    return modes;
}

TEST(X11ScreenGrabberTest, SharedSegmentCannotOutliveTheProcessOrTheGrabber) {
    if (!serverHasShm(rootPicture().connection()))
        GTEST_SKIP() << "the display has no MIT-SHM";
    // Compared with what was there before: a process id can come back, and
    // with it a stranger's segment.
    const std::map<long long, unsigned> before = ourSegments();
    long long id = 0;
    {
        X11ScreenGrabber grabber;
        grabber.grab({0, 0, 64, 64});
        ASSERT_TRUE(grabber.usesSharedMemory());
        std::map<long long, unsigned> added = ourSegments();
        std::erase_if(added, [&](const auto& segment) { return before.contains(segment.first); });
        ASSERT_EQ(added.size(), 1u);
        constexpr unsigned markedForRemoval = 01000; // SHM_DEST
        EXPECT_TRUE(added.begin()->second & markedForRemoval);
        id = added.begin()->first;
    }
    EXPECT_FALSE(ourSegments().contains(id));
}

TEST(X11ScreenGrabberTest, RefusesRectanglesNoScreenHas) {
    X11ScreenGrabber grabber;
    const std::pair<ScreenRect, std::string> cases[] = {
        {{0, 0, 0, 5}, "Cannot grab 0 x 5 pixels of the screen"},
        {{0, 0, 5, -1}, "Cannot grab 5 x -1 pixels of the screen"},
        {{0, 0, 40000, 1}, "Cannot grab 40000 x 1 pixels of the screen"},
    };
    for (const auto& [rect, text] : cases) {
        try {
            grabber.grab(rect);
            ADD_FAILURE() << "grabbed " << describe(rect);
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), text);
        }
    }
}

TEST(X11ScreenGrabberTest, AMissingDisplayIsNamed) {
    const std::string display = std::getenv("DISPLAY");
    const std::pair<const char*, std::string> cases[] = {
        {":32000", "Cannot open display \":32000\""},
        {nullptr, "Cannot open display: DISPLAY is not set"},
    };
    for (const auto& [name, text] : cases) {
        if (name)
            ::setenv("DISPLAY", name, 1);
        else
            ::unsetenv("DISPLAY");
        try {
            X11ScreenGrabber grabber;
            ADD_FAILURE() << "connected without a display";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), text);
        }
    }
    ::setenv("DISPLAY", display.c_str(), 1);
}

} // namespace
} // namespace kadrix
