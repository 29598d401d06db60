// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/handler.h"

#include "ui/error_report.h"

#include <exception>

namespace kadrix {

void runHandler(const std::function<void()>& handler) {
    runHandler(handler, [](const QString& text) { showErrorReport(text); });
}

void runHandler(const std::function<void()>& handler,
                const std::function<void(const QString&)>& report) {
    try {
        handler();
    } catch (const std::exception& error) {
        report(QString::fromStdString(error.what()));
    }
}

} // namespace kadrix
