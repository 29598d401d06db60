// SPDX-License-Identifier: GPL-3.0-or-later
// Records a clip through the real main window on the current display, as a
// user does: the clip mode, the capture frame, maximised or at a given size,
// the capture button. Prints the frames the recording wrote; the late ticks
// come in the kadrix.recording debug log on stderr.
//   recording_rhythm_bench FOLDER SECONDS (max | WxH)
#include "app/kadrix_application.h"
#include "bench/capture_frame_window.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    kadrix::KadrixApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: recording_rhythm_bench FOLDER SECONDS (max | WxH)\n", stderr);
        return 2;
    }
    const std::unique_ptr<kadrix::TMain> window =
        bench::openCaptureFrame(argv[1], "RadioButton2", QString::fromLocal8Bit(argv[3]));
    if (!window)
        return 1;
    bench::control<QSpinBox>(*window, "SpinEdit1")->setValue(std::atoi(argv[2]));
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(bench::control<QPushButton>(*window, "BitBtn1"), Qt::LeftButton);
    if (!window->recording())
        return 1;
    if (!bench::waitFor([&] { return !window->recording(); }, 600000))
        return 1;
    // Past the recording's seconds: the stop step, mostly the assembly.
    std::printf("frames %zu\nstop %.3f\n", window->FillList().size(),
                static_cast<double>(clock.elapsed()) / 1000 - std::atof(argv[2]));
    return 0;
}
