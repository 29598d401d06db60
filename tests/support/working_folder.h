// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QString>
#include <string>

namespace kadrix::test {

// The working directory of the test, put back when the object goes: the
// window starts its browser there, and reading a file list moves into the
// folder listed, so that without it the next test would start in a folder
// that is gone.
class WorkingFolder {
public:
    WorkingFolder() : previous_(QDir::currentPath()) {}
    // And moves into folder meanwhile.
    explicit WorkingFolder(const std::string& folder) : WorkingFolder() {
        QDir::setCurrent(QString::fromStdString(folder));
    }
    ~WorkingFolder() {
        if (!QDir::setCurrent(previous_))
            QDir::setCurrent(QDir::tempPath());
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    QString previous_;
};

} // namespace kadrix::test
