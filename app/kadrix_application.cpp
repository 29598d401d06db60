// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/kadrix_application.h"

#include "ui/error_report.h"

#include <QFont>
#include <QLibraryInfo>
#include <exception>

namespace kadrix {

namespace {

// The window font: the controls' fixed places and sizes were laid out for a
// small 8-point sans of 11-pixel cells; Liberation Sans has Arial's metrics,
// which come closest, and Cyrillic letters.
QFont windowFont() {
    QFont font("Liberation Sans");
    font.setStyleHint(QFont::SansSerif);
    // In pixels: the layout is in pixels, whatever the screen's dots per inch.
    font.setPixelSize(11);
    return font;
}

} // namespace

KadrixApplication::KadrixApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Kadrix");
    setApplicationVersion(KADRIX_VERSION);
    setDesktopFileName(KADRIX_APP_ID);
    // The interface is Russian whatever the user's language, and so are the
    // standard buttons ("Да", "Нет") of Qt's message boxes. Without Qt's
    // translations installed they stay English.
    if (qtRussian_.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtRussian_);
    // One look on every desktop, whose colours the window's palette controls.
    setStyle("Fusion");
    setFont(windowFont());
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
