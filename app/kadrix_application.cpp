#include "app/kadrix_application.h"

#include "app/error_report.h"

#include <QFont>
#include <exception>

namespace kadrix {

KadrixApplication::KadrixApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Kadrix");
    // One look on every desktop, whose colours the window's palette controls.
    setStyle("Fusion");
    // 8 points of a sans font with Cyrillic letters (fontconfig picks one).
    QFont font("Sans Serif", 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
}

bool KadrixApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showErrorReport(QString::fromStdString(error.what()));
    }
    return false;
}

} // namespace kadrix
