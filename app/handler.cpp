// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/handler.h"

#include "app/error_report.h"

#include <exception>

namespace kadrix {

void runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        showErrorReport(QString::fromStdString(error.what()));
    }
}

} // namespace kadrix
