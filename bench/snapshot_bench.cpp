// SPDX-License-Identifier: GPL-3.0-or-later
// Takes pictures through the real main window on the current display, as a
// user does: the "bmp" mode, the capture frame at the top left at a given
// size, the capture button. Prints, for each picture, the milliseconds from
// the click to the file complete (the title's "… создан", set once the file
// is in place), which leaves out the caption's pause after it.
//   snapshot_bench FOLDER WxH PICTURES
#include "app/kadrix_application.h"
#include "app/main_window.h"
#include "app/services.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv) {
    kadrix::KadrixApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: snapshot_bench FOLDER WxH PICTURES\n", stderr);
        return 2;
    }
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    kadrix::TMain window(kadrix::chooseServices(), QDir::tempPath());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window, 20000))
        return 1;
    auto* capture = window.findChild<QPushButton*>("BitBtn1");
    window.findChild<QRadioButton*>("RadioButton1")->click();
    QTest::mouseClick(window.findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    const QStringList sides = QString::fromLocal8Bit(argv[2]).split('x');
    window.setGeometry(0, 0, sides.value(0).toInt(), sides.value(1).toInt());
    QTest::qWait(500); // the window manager places the frame
    QElapsedTimer clock;
    qint64 done = -1;
    QObject::connect(&window, &QWidget::windowTitleChanged, [&](const QString& title) {
        if (title.endsWith(" создан"))
            done = clock.nsecsElapsed();
    });
    for (int n = 0; n < std::atoi(argv[3]); ++n) {
        QTest::qWait(300); // the windows beneath settle
        done = -1;
        clock.start();
        QTest::mouseClick(capture, Qt::LeftButton);
        if (done < 0)
            return 1;
        std::printf("%.2f\n", static_cast<double>(done) / 1e6);
    }
    return 0;
}
