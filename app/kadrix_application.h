#pragma once

#include <QApplication>

namespace kadrix {

// The application object. An error that escapes any event handler is shown
// in the error report and the program goes on with the next event.
class KadrixApplication : public QApplication {
public:
    KadrixApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kadrix
