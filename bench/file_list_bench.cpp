// SPDX-License-Identifier: GPL-3.0-or-later
// file_list_bench FOLDER [RUNS]: how long the file list takes to show FOLDER
// (mask "*.*"): read, sorted, filled and painted once, as the user sees it.
// The first run sets the folder, the others reload it, as the return to the
// options layout does. Prints the median milliseconds, the first run's
// milliseconds and the number of entries shown.
#include "browser/file_list_box.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: file_list_bench FOLDER [RUNS]\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // the script reads a full stop, whatever the user's locale
    kadrix::FileListBox list;
    list.resize(135, 166); // the size it has in the main window
    list.setMask("*.*");
    list.show();
    QApplication::processEvents();

    using Clock = std::chrono::steady_clock;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        if (run == 0)
            list.setDirectory(folder);
        else
            list.reload();
        list.doItemsLayout();
        list.repaint();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("%.3f %.3f %d\n", times[times.size() / 2], first, list.count());
    return 0;
}
