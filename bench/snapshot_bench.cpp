// SPDX-License-Identifier: GPL-3.0-or-later
// Takes pictures through the real main window on the current display, as a
// user does: the "bmp" mode, the capture frame at the top left at a given
// size, the capture button. Prints, for each picture, the milliseconds from
// the click to the file complete (the title's "… создан", set once the file
// is in place), which leaves out the caption's pause after it.
//   snapshot_bench FOLDER WxH PICTURES
#include "app/kadrix_application.h"
#include "bench/capture_frame_window.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    kadrix::KadrixApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: snapshot_bench FOLDER WxH PICTURES\n", stderr);
        return 2;
    }
    const std::unique_ptr<kadrix::TMain> window =
        bench::openCaptureFrame(argv[1], "RadioButton1", QString::fromLocal8Bit(argv[2]));
    if (!window)
        return 1;
    auto* capture = bench::control<QPushButton>(*window, "BitBtn1");
    QElapsedTimer clock;
    qint64 done = -1;
    QObject::connect(window.get(), &QWidget::windowTitleChanged, [&](const QString& title) {
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
