// SPDX-License-Identifier: GPL-3.0-or-later
// viewer_save_bench IN.bmp HEIGHT TEXT OUT.jpg [RUNS]: the viewer's save on
// the offscreen platform, step by step as "Сохранить в JPG" takes them: the
// output created, the picture read, the caption drawn in red at the bottom
// row of cells, the nearest-neighbour resize to HEIGHT and the JPEG written.
// With RUNS, repeats the save and prints the median milliseconds of one save
// in a running program; without, saves once (to be timed as a whole command).
#include "convert/caption.h"
#include "convert/captioned_resize.h"
#include "convert/picture_pixels.h"
#include "core/convert/jpeg_encoder.h"
#include "core/file.h"
#include "ui/bmp_picture.h"

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void save(const char* source, int height, const QString& text, const char* output) {
    kadrix::ReplacementFile jpeg(output);
    kadrix::InputFile file(source);
    const QImage picture = kadrix::decodeBmpPicture(file).convertToFormat(QImage::Format_RGB32);
    const kadrix::Caption caption{text, Qt::red, picture.height() - kadrix::captionCellHeight};
    const QImage resized = kadrix::captionedResize(picture, caption, height);
    jpeg.out().write(kadrix::encodeJpeg(kadrix::PicturePixels(resized).view()));
    jpeg.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fputs("usage: viewer_save_bench IN.bmp HEIGHT TEXT OUT.jpg [RUNS]\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int height = std::atoi(argv[2]);
    const QString text = QString::fromUtf8(argv[3]);
    if (argc < 6) {
        save(argv[1], height, text, argv[4]);
        return 0;
    }
    using Clock = std::chrono::steady_clock;
    std::vector<double> ms;
    for (int run = std::atoi(argv[5]); run > 0; --run) {
        const auto start = Clock::now();
        save(argv[1], height, text, argv[4]);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.3f\n", ms[ms.size() / 2]);
    return 0;
}
