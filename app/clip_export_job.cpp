// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clip_export_job.h"

#include "platform/clip_encoder.h"

#include <QMetaObject>
#include <QObject>
#include <exception>

namespace kadrix {

ClipExportJob::ClipExportJob(QObject& receiver, std::string clip, ShareFormat format,
                             ClipEncoderFactory encoders, Progress progress, Finished finished)
    : receiver_(&receiver), target_(exportPath(clip, format)), progress_(std::move(progress)),
      finished_(std::move(finished)) {
    thread_ = std::thread([this, clip = std::move(clip), format, encoders = std::move(encoders)] {
        run(clip, format, encoders);
    });
}

ClipExportJob::~ClipExportJob() {
    stop_ = true;
    thread_.join();
}

void ClipExportJob::run(const std::string& clip, ShareFormat format,
                        const ClipEncoderFactory& encoders) {
    // Calls still waiting when the receiver goes are dropped with it; a
    // stopped job posts none.
    const auto post = [this](std::function<void()> call) {
        if (!stop_)
            QMetaObject::invokeMethod(receiver_, std::move(call), Qt::QueuedConnection);
    };
    Outcome outcome;
    try {
        // The encoder's module loads here, off the window's thread.
        const auto encoder = encoders();
        outcome.written =
            exportClip(clip, format, *encoder, [&](std::size_t done, std::size_t total) {
                post([progress = progress_, done, total] { progress(done, total); });
                return !stop_;
            });
    } catch (const ExportError& error) {
        outcome.failure = error.reason();
        outcome.failureText = error.what();
    } catch (const std::exception& error) {
        outcome.failure = ExportError::Reason::Encoder;
        outcome.failureText = error.what();
    }
    post([finished = finished_, outcome] { finished(outcome); });
}

} // namespace kadrix
