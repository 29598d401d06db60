// The folder tree and the volume box.
#include "app/UnitMain.h"

#include "app/error_report.h"
#include "browser/directory_list_box.h"
#include "browser/drive_combo_box.h"
#include "platform/drive_ready.h"

namespace kadrix {

void TMain::DirectoryListBox1Change() {
    DriveComboBox1->selectVolumeOf(DirectoryListBox1->directory());
    refreshNextName();
}

void TMain::DriveComboBox1Change() {
    const std::string drive = DriveComboBox1->drive();
    if (!IsDriveReady(drive)) {
        showMessage("Устройство не готово!");
        return;
    }
    DirectoryListBox1->setDrive(drive);
}

} // namespace kadrix
