// SPDX-License-Identifier: GPL-3.0-or-later
// The file list's exports of a clip to MP4, WebM and GIF, run beside the
// window.
#include "app/main_window.h"

#include "app/clip_export_job.h"
#include "browser/file_list_box.h"
#include "core/naming/folder_listing.h"
#include "core/path.h"
#include "ui/error_report.h"

#include <QFile>
#include <QProgressBar>

namespace kadrix {

namespace {

// The user's words for why an export failed.
QString failureReason(ExportError::Reason reason) {
    switch (reason) {
    case ExportError::Reason::ClipUnreadable:
        return "клип не читается: он повреждён или это не клип AVI";
    case ExportError::Reason::ClipFormat:
        return "кадры клипа сжаты или записаны в неизвестном формате";
    case ExportError::Reason::Write:
        return "файл не записан: возможно, на диске нет места";
    case ExportError::Reason::Encoder:
        return "кодировщик сообщил об ошибке";
    case ExportError::Reason::NoEncoder:
        return "не установлены библиотеки FFmpeg (libavcodec, libavformat, libavfilter)";
    }
    return {};
}

QString shown(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

void TMain::N8Click() {
    exportSelectedClip(ShareFormat::Mp4);
}

void TMain::N9Click() {
    exportSelectedClip(ShareFormat::WebM);
}

void TMain::N10Click() {
    exportSelectedClip(ShareFormat::Gif);
}

void TMain::exportSelectedClip(ShareFormat format) {
    if (clipExport_) {
        showMessage("Клип уже сохраняется в " + shown(clipExport_->target()) +
                        ". Дождитесь конца, потом начинайте следующее сохранение.",
                    this);
        return;
    }
    const std::string entry = FileListBox1->selectedName();
    if (entry.empty())
        return;
    showExportProgress(0, 1);
    clipExport_ = std::make_unique<ClipExportJob>(
        *this, joinPath(FileListBox1->directory(), entry), format, services_.clipEncoders,
        [this](std::size_t done, std::size_t total) { showExportProgress(done, total); },
        [this](const ClipExportOutcome& outcome) { exportFinished(outcome); });
}

void TMain::showExportProgress(std::size_t done, std::size_t total) {
    // A recording's own progress comes first.
    if (recording() || soundRecording())
        return;
    ProgressBar1->setMaximum(static_cast<int>(total));
    ProgressBar1->setValue(static_cast<int>(done));
    ProgressBar1->show();
}

void TMain::exportFinished(const ClipExportOutcome& outcome) {
    const std::string target = clipExport_->target();
    clipExport_.reset();
    if (!recording() && !soundRecording())
        ProgressBar1->hide();
    if (outcome.failure) {
        QString text =
            "Не удалось сохранить " + shown(target) + ": " + failureReason(*outcome.failure);
        // The encoder's own words are all there is to say what went wrong.
        if (*outcome.failure == ExportError::Reason::Encoder)
            text += " (" + QString::fromStdString(outcome.failureText) + ")";
        showMessage(text + ".", this);
        return;
    }
    const std::string folder = target.substr(0, target.rfind('/'));
    const std::string name = target.substr(target.rfind('/') + 1);
    if (folder == FileListBox1->directory() && matchesMask(name, FileListBox1->mask())) {
        FileListBox1->insertName(name);
        return;
    }
    // The list does not show it (the "avi" mode lists clips only): the title
    // says it is there, as after a snapshot, unless a recording has the title.
    if (!recording() && !soundRecording())
        flashCaption(shown(name) + " создан", 500);
}

} // namespace kadrix
