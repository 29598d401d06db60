// SPDX-License-Identifier: GPL-3.0-or-later
// The peer of the start-up benchmarks: a trivial Qt 6 program that shows one
// empty window. With --quit-on-paint it ends as soon as the window is first
// painted.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstring>

namespace {

class Window : public QWidget {
public:
    explicit Window(bool quitOnPaint) : quitOnPaint_(quitOnPaint) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (quitOnPaint_)
            QTimer::singleShot(0, qApp, &QApplication::quit);
    }

private:
    bool quitOnPaint_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window(argc > 1 && std::strcmp(argv[1], "--quit-on-paint") == 0);
    window.resize(556, 390);
    window.setWindowTitle("Trivial");
    window.show();
    return app.exec();
}
