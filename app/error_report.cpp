#include "app/error_report.h"

#include "core/error.h"

#include <QApplication>
#include <QMessageBox>

namespace kadrix {

namespace {

void showBox(QMessageBox::Icon icon, const QString& text, QWidget* parent) {
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok,
                    parent ? parent : QApplication::activeWindow());
    box.setObjectName(icon == QMessageBox::Critical ? "ErrorReport" : "Message");
    box.exec();
}

} // namespace

void showErrorReport(const QString& text, QWidget* parent) {
    const std::string reportText = errorReportText(text.toStdString());
    showBox(QMessageBox::Critical, QString::fromStdString(reportText), parent);
}

void showMessage(const QString& text, QWidget* parent) {
    showBox(QMessageBox::NoIcon, text, parent);
}

} // namespace kadrix
