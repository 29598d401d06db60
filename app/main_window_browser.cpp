// SPDX-License-Identifier: GPL-3.0-or-later
// The folder tree and the volume box.
#include "app/main_window.h"

#include "browser/directory_list_box.h"
#include "browser/drive_combo_box.h"
#include "browser/file_list_box.h"
#include "core/error.h"
#include "platform/drive_ready.h"
#include "ui/error_report.h"

#include <filesystem>

namespace kadrix {

void TMain::DirectoryListBox1Change() {
    DriveComboBox1->selectVolumeOf(DirectoryListBox1->directory());
    refreshNextName();
}

void TMain::DriveComboBox1Change() {
    const std::string drive = DriveComboBox1->drive();
    // Looked at only now, and not for long: a share that stopped answering
    // must not freeze the window.
    if (!isDriveReadyWithin(drive, driveLookLimit)) {
        showMessage("Устройство не готово!");
        return;
    }
    DirectoryListBox1->setDrive(drive);
}

void TMain::reloadFolder() {
    try {
        DirectoryListBox1->reload();
        FileListBox1->reload();
    } catch (const Error& error) {
        leaveVanishedFolder(error);
    }
}

void TMain::leaveVanishedFolder(const std::exception& error) {
    showErrorReport(QString::fromStdString(error.what()));
    std::filesystem::path folder(currentFolder());
    while (folder.has_relative_path()) {
        folder = folder.parent_path();
        try {
            DirectoryListBox1->setDirectory(folder.string());
            return;
        } catch (const Error&) {
            // Gone too, or not readable: one more step up.
        }
    }
}

} // namespace kadrix
