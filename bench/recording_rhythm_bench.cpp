// SPDX-License-Identifier: GPL-3.0-or-later
// Records a clip through the real main window on the current display, as a
// user does: the clip mode, the capture frame, maximised or at a given size,
// the capture button. Prints the frames the recording wrote; the late ticks
// come in the kadrix.recording debug log on stderr.
//   recording_rhythm_bench FOLDER SECONDS (max | WxH)
#include "app/kadrix_application.h"
#include "app/main_window.h"
#include "app/services.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <cstdio>

namespace {

template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    kadrix::KadrixApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: recording_rhythm_bench FOLDER SECONDS (max | WxH)\n", stderr);
        return 2;
    }
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    kadrix::TMain window(kadrix::chooseServices(), QDir::tempPath());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window, 20000))
        return 1;
    control<QRadioButton>(window, "RadioButton2")->click();
    QTest::mouseClick(control<QPushButton>(window, "BitBtn2"), Qt::LeftButton);
    control<QSpinBox>(window, "SpinEdit1")->setValue(std::atoi(argv[2]));
    const QString size = QString::fromLocal8Bit(argv[3]);
    if (size == "max") {
        window.showMaximized();
        waitFor([&] { return window.isMaximized(); }, 10000);
    } else {
        const QStringList sides = size.split('x');
        window.setGeometry(0, 0, sides.value(0).toInt(), sides.value(1).toInt());
    }
    QTest::qWait(500); // the window manager places the frame
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(control<QPushButton>(window, "BitBtn1"), Qt::LeftButton);
    if (!window.recording())
        return 1;
    if (!waitFor([&] { return !window.recording(); }, 600000))
        return 1;
    // Past the recording's seconds: the stop step, mostly the assembly.
    std::printf("frames %zu\nstop %.3f\n", window.FillList().size(),
                static_cast<double>(clock.elapsed()) / 1000 - std::atof(argv[2]));
    return 0;
}
