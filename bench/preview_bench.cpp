// SPDX-License-Identifier: GPL-3.0-or-later
// preview_bench FOLDER [RUNS]: FOLDER holds pic.bmp. Times, in the main
// window on the offscreen platform, a click on the listed picture until
// Image1 has painted it, against a bare QImage load and smooth scale of the
// same file; then each button of the conversion strip against the library
// calls that it makes (each decodes the file at its own size: the preview
// holds the picture only at the size it shows it). Runs alternate between the two sides. Prints one
// line per pair: name, our median ms, the peer's median ms.
#include "app/main_window.h"
#include "app/services.h"
#include "browser/file_list_box.h"
#include "convert/picture_pixels.h"
#include "convert/screen_reference_device.h"
#include "core/convert/emf_writer.h"
#include "core/convert/icon_writer.h"
#include "core/convert/jpeg_encoder.h"
#include "core/file.h"
#include "ui/bmp_picture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void compare(const char* name, int runs, const std::function<void()>& ours,
             const std::function<void()>& peer) {
    ours(); // warm both: page cache, lazily loaded plug-ins
    peer();
    std::vector<double> a;
    std::vector<double> b;
    for (int run = 0; run < runs; ++run) {
        a.push_back(millisecondsOf(ours));
        b.push_back(millisecondsOf(peer));
    }
    std::printf("%s %.3f %.3f\n", name, median(a), median(b));
}

template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(1);
    }
    return found;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: preview_bench FOLDER [RUNS]\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QDir::setCurrent(folder);
    const std::string path = (folder + "/pic.bmp").toStdString();

    kadrix::TMain window(kadrix::nullServices(), folder);
    window.show();
    QApplication::processEvents();
    auto* list = control<kadrix::FileListBox>(window, "FileListBox1");
    auto* image = control<QLabel>(window, "Image1");
    list->setCurrentRow(0);

    compare(
        "click-to-shown", runs,
        [&] {
            emit list->entryClicked();
            image->repaint();
        },
        [&] {
            const QImage picture(QString::fromStdString(path));
            const QImage shown =
                picture.scaled(195, 193, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            if (shown.isNull())
                std::exit(1);
        });

    const auto decoded = [&path] {
        kadrix::InputFile file(path);
        return kadrix::decodeBmpPicture(file);
    };
    compare(
        "jpg", runs, [&] { control<QToolButton>(window, "SpeedButton1")->click(); },
        [&] {
            const kadrix::PicturePixels pixels(decoded());
            kadrix::writeJpeg(pixels.view(), "library.jpg");
        });
    compare(
        "ico", runs, [&] { control<QToolButton>(window, "SpeedButton2")->click(); },
        [&] {
            const kadrix::PicturePixels corner(decoded().copy(0, 0, 32, 32));
            kadrix::writeIcon(corner.view(), "library.ico");
        });
    // A copy of its own, so that the two sides do not write one file.
    QFile::copy("pic.bmp", "library.bmp");
    const kadrix::ReferenceDevice screen = kadrix::screenReferenceDevice(window.screen());
    compare(
        "emf", runs, [&] { control<QToolButton>(window, "SpeedButton3")->click(); },
        [&] { kadrix::bmp2emf("library.bmp", screen); });
    return 0;
}
