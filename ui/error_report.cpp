// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/error_report.h"

#include "core/error.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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

bool askQuestion(const QString& text, QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No,
                    parent ? parent : QApplication::activeWindow());
    box.setObjectName("Question");
    box.button(QMessageBox::Yes)->setText("Да");
    box.button(QMessageBox::No)->setText("Нет");
    return box.exec() == QMessageBox::Yes;
}

} // namespace kadrix
