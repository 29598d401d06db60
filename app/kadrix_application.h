#pragma once

#include <QApplication>
#include <QTranslator>

namespace kadrix {

// The application object: Russian texts on Qt's own buttons, the window
// font the fixed layout was drawn for, the program's icon and desktop name.
// An error that escapes any event handler is shown in the error report and
// the program goes on with the next event.
class KadrixApplication : public QApplication {
public:
    KadrixApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTranslator qtRussian_;
};

// The window font: the controls' fixed places and sizes were laid out for a
// small 8-point sans of 11-pixel cells; Liberation Sans has Arial's metrics,
// which come closest, and Cyrillic letters.
QFont windowFont();

} // namespace kadrix
