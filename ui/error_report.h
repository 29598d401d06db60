// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace kadrix {

// The application's error report: the error's text (with a full stop after a
// final letter or digit), the application title as caption, a stop icon and
// one OK button. Every error that escapes an event handler ends up here.
void showErrorReport(const QString& text, QWidget* parent = nullptr);

// A plain message with a fixed text, the application title as caption and one
// OK button ("Устройство не готово!", "Это не BMP формат!").
void showMessage(const QString& text, QWidget* parent = nullptr);

// A confirmation with a question icon and the buttons Yes and No, the
// application title as caption; true for Yes.
bool askQuestion(const QString& text, QWidget* parent = nullptr);

} // namespace kadrix
