// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/instance_lock.h"
#include "tests/support/temp_dir.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadrix::test {

// The built program copied into a temporary folder of its own, started with a
// runtime folder of its own ($XDG_RUNTIME_DIR), so that no other test's copy
// can meet its lock file. Every copy started from it is killed when the test
// ends.
class ProgramCopy {
public:
    explicit ProgramCopy(const std::string& tag) : dir_(tag), program_(dir_.path() / "kadrix") {
        std::filesystem::copy_file(std::filesystem::path(KADRIX_BINARY_DIR) / "app" / "kadrix",
                                   program_);
    }
    ~ProgramCopy() { endAll(); }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    // Starts the program in its folder with arguments, with runtimeDir, or
    // else the copy's own runtime folder; throws when it cannot start.
    QProcess& start(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
                    const std::string& runtimeDir = {}, const QStringList& arguments = {}) {
        auto& process = *processes_.emplace_back(std::make_unique<QProcess>());
        environment.insert(
            "XDG_RUNTIME_DIR",
            QString::fromStdString(runtimeDir.empty() ? runtime_.str() : runtimeDir));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QString::fromStdString(dir_.str()));
        process.start(QString::fromStdString(program_.string()), arguments);
        if (!process.waitForStarted())
            throw std::runtime_error("cannot start " + program_.string());
        return process;
    }
    // Kills every copy still running.
    void endAll() {
        for (const auto& process : processes_) {
            process->kill();
            process->waitForFinished();
        }
    }

    const TempDir& folder() const { return dir_; }
    const TempDir& runtime() const { return runtime_; }
    std::string lockPath() const { return runtime_.path(lockFileName); }

private:
    TempDir dir_;
    TempDir runtime_{"kadrix-runtime"};
    std::filesystem::path program_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

} // namespace kadrix::test
