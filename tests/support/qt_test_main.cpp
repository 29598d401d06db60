// SPDX-License-Identifier: GPL-3.0-or-later
// main() for test binaries that need the application object: the platform
// comes from QT_QPA_PLATFORM (offscreen for unit tests, xcb under Xvfb).
#include "app/kadrix_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the binary without the test's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kadrix::KadrixApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
