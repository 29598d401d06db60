// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/convert/clip_export.h"
#include "platform/clip_encoder.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <thread>

class QObject;

namespace kadrix {

// One clip being exported on a thread of its own, so that the window goes on
// drawing itself and taking clicks. What it tells comes on the thread of
// the receiver, which outlives the job.
// How an export ended.
struct ClipExportOutcome {
    std::string written; // the file made; empty after a failure
    std::optional<ExportError::Reason> failure;
    std::string failureText; // in English, naming the file
};

class ClipExportJob {
public:
    using Outcome = ClipExportOutcome;
    using Progress = std::function<void(std::size_t done, std::size_t total)>;
    using Finished = std::function<void(const Outcome&)>;

    // encoders makes the export's encoder, on the job's thread.
    ClipExportJob(QObject& receiver, std::string clip, ShareFormat format,
                  ClipEncoderFactory encoders, Progress progress, Finished finished);
    // Stops the export and waits for its thread: the temporary file is gone
    // then, and finished is not told.
    ~ClipExportJob();
    ClipExportJob(const ClipExportJob&) = delete;
    ClipExportJob& operator=(const ClipExportJob&) = delete;

    const std::string& target() const { return target_; }

private:
    void run(const std::string& clip, ShareFormat format, const ClipEncoderFactory& encoders);

    QObject* receiver_;
    std::string target_;
    Progress progress_;
    Finished finished_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace kadrix
