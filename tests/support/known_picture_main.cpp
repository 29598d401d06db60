// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the known picture over the whole screen from a process of its own,
// as another program beneath the capture frame would: it draws itself again
// whenever it is uncovered, on its own time.
#include "tests/support/known_picture.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kadrix::test::KnownPictureWindow window;
    window.show();
    return app.exec();
}
