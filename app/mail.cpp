// "Отправить по почте": the selected file to the desktop's mail composer.
#include "app/UnitMain.h"

#include "app/error_report.h"
#include "browser/file_list_box.h"
#include "core/path.h"
#include "platform/mail_composer.h"

namespace kadrix {

namespace {

// A dummy address that the user overwrites in the composer.
constexpr const char* placeholderRecipient = "adresat@example.com";

} // namespace

void TMain::N2Click() {
    // With no entry selected the folder itself goes, as the path ends in "/";
    // the composer decides what to make of it.
    const std::string attachment =
        joinPath(FileListBox1->directory(), FileListBox1->selectedName());
    const MailMessage message{placeholderRecipient, "тема", "текст",
                              QString::fromStdString(attachment)};
    mailComposer_->compose(message,
                           [this](const QString& reason) { showErrorReport(reason, this); });
}

} // namespace kadrix
