// SPDX-License-Identifier: GPL-3.0-or-later
// One sound recording as the window makes it: open the default input,
// record N seconds, stop when the stop timer falls due, save, close. Prints
// "cpu_ms wall_ms stop_ms save_ms": the process's CPU time and the wall time
// from the start of recording to the saved file, how long the stop step
// waited for the rest of the sound, and how long the save took.
//   sound_record_bench OUTPUT.wav SECONDS
#include "platform/media_services.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: sound_record_bench OUTPUT.wav SECONDS\n");
        return 2;
    }
    const std::string output = argv[1];
    const int seconds = std::atoi(argv[2]);
    auto recorder = kadrix::createSoundRecorder();
    if (!recorder->open()) {
        std::fprintf(stderr, "no sound input\n");
        return 1;
    }
    const double cpuStart = cpuMs();
    QElapsedTimer wall;
    wall.start();
    recorder->record(std::chrono::seconds(seconds));
    qint64 stopMs = 0, saveMs = 0;
    bool saved = false;
    QTimer::singleShot(seconds * 1000, [&] {
        QElapsedTimer step;
        step.start();
        recorder->stop(kadrix::SoundStop::AtLength);
        stopMs = step.restart();
        saved = recorder->save(output).empty();
        saveMs = step.elapsed();
        app.quit();
    });
    app.exec();
    const double cpu = cpuMs() - cpuStart;
    const qint64 elapsed = wall.elapsed();
    recorder->close();
    if (!saved) {
        std::fprintf(stderr, "not saved\n");
        return 1;
    }
    std::printf("%.1f %lld %lld %lld\n", cpu, static_cast<long long>(elapsed),
                static_cast<long long>(stopMs), static_cast<long long>(saveMs));
    return 0;
}
