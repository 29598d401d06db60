// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/capture_frame_window.h"

#include "app/services.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace bench {

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

std::unique_ptr<kadrix::TMain> openCaptureFrame(const char* folder, const char* modeButton,
                                                const QString& size) {
    QDir::setCurrent(QString::fromLocal8Bit(folder));
    auto window = std::make_unique<kadrix::TMain>(kadrix::chooseServices(), QDir::tempPath());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get(), 20000))
        return nullptr;
    control<QRadioButton>(*window, modeButton)->click();
    QTest::mouseClick(control<QPushButton>(*window, "BitBtn2"), Qt::LeftButton);
    if (size == "max") {
        window->showMaximized();
        waitFor([&] { return window->isMaximized(); }, 10000);
    } else {
        const QStringList sides = size.split('x');
        window->setGeometry(0, 0, sides.value(0).toInt(), sides.value(1).toInt());
    }
    QTest::qWait(500); // the window manager places the frame
    return window;
}

} // namespace bench
