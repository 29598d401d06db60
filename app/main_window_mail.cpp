// SPDX-License-Identifier: GPL-3.0-or-later
// "Отправить по почте": the selected file to the desktop's mail composer.
#include "app/main_window.h"

#include "browser/file_list_box.h"
#include "core/path.h"
#include "platform/mail_composer.h"
#include "ui/error_report.h"

namespace kadrix {

namespace {

// A dummy address that the user overwrites in the composer.
constexpr const char* placeholderRecipient = "adresat@example.com";

} // namespace

void TMain::N2Click() {
    // With no entry selected there is nothing to send (after a delete or a
    // rename, say).
    const std::string entry = FileListBox1->selectedName();
    if (entry.empty())
        return;
    const std::string attachment = joinPath(FileListBox1->directory(), entry);
    const MailMessage message{placeholderRecipient, "тема", "текст",
                              QString::fromStdString(attachment)};
    services_.mail->compose(message,
                            [this](const QString& reason) { showErrorReport(reason, this); });
}

} // namespace kadrix
