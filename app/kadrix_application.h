// SPDX-License-Identifier: GPL-3.0-or-later
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

} // namespace kadrix
