// main() for test binaries that need a QApplication: the platform comes from
// QT_QPA_PLATFORM (offscreen for unit tests, xcb under the private Xvfb).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
