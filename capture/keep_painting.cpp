// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/keep_painting.h"

#include <QEventLoop>
#include <exception>
#include <thread>

namespace kadrix {

void runKeepingWindowsPainted(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so it is seen even when the work ends before the loop runs.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace kadrix
