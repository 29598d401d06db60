// SPDX-License-Identifier: GPL-3.0-or-later
// The file list's and the folder tree's operations: rename, delete, delete
// all, new folder, delete folder.
#include "app/main_window.h"

#include "browser/directory_list_box.h"
#include "browser/file_list_box.h"
#include "browser/name_dialog.h"
#include "core/naming/folder_listing.h"
#include "core/path.h"
#include "platform/file_operations.h"
#include "ui/error_report.h"
#include "ui/handler.h"
#include "ui/media_player_bar.h"
#include "ui/picture_box.h"

#include <QCoreApplication>
#include <QFrame>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

namespace kadrix {

namespace {

// The first selected entry of a list, scanning from the first; -1 for none.
int selectedRow(const QListWidget& list) {
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->isSelected())
            return row;
    }
    return -1;
}

} // namespace

TRenameFileX& TMain::renameDialog() {
    if (!RenameFileX) {
        RenameFileX =
            std::make_unique<TRenameFileX>(nameDialog_, *FileListBox1, *DirectoryListBox1,
                                           NameDialogPrompts{&showMessage, &askQuestion}, this);
        connectHandler(RenameFileX->acceptButton(), &QPushButton::clicked, RenameFileX.get(),
                       &TRenameFileX::BitBtn1Click);
        connectHandler(RenameFileX->cancelButton(), &QPushButton::clicked, RenameFileX.get(),
                       &TRenameFileX::BitBtn2Click);
    }
    return *RenameFileX;
}

void TMain::N3Click() {
    const std::string entry = FileListBox1->selectedName();
    if (entry.empty())
        return;
    nameDialog_.NameDialogMode = renameFileMode;
    nameDialog_.RenameSourcePath = joinPath(FileListBox1->directory(), entry);
    nameDialog_.RenameSourceName = entry;
    if (renameDialog().showModalWith(QString::fromStdString(entry)))
        forgetPreviewOf(entry);
}

void TMain::N6Click() {
    nameDialog_.NameDialogMode = createFolderMode;
    nameDialog_.NewFolderParent = FileListBox1->directory();
    renameDialog().showModalWith("новая папка");
}

void TMain::forgetPreviewOf(const std::string& entry) {
    if (SelectedFile != joinPath(FileListBox1->directory(), entry))
        return;
    SelectedFile.clear();
    Image1->clearPicture();
    Panel3->hide();
}

void TMain::N4Click() {
    const std::string entry = FileListBox1->selectedName();
    if (!entry.empty()) {
        if (mode_ == Mode::Clips)
            MediaPlayer1->close();
        if (deleteFile(joinPath(FileListBox1->directory(), entry))) {
            FileListBox1->removeName(entry);
            forgetPreviewOf(entry);
        } else {
            showMessage("Удаление не удалось", this);
        }
    }
    QCoreApplication::processEvents();
}

void TMain::BitBtn3Click() {
    MediaPlayer1->close();
    std::vector<std::string> kept;
    for (const std::string& entry : FileListBox1->names()) {
        if (deleteFile(joinPath(FileListBox1->directory(), entry)))
            forgetPreviewOf(entry);
        else
            kept.push_back(entry);
    }
    // The files that stay (read-only, say) stay listed, and are named once.
    FileListBox1->clear();
    QStringList shown;
    for (const std::string& entry : kept) {
        FileListBox1->insertName(entry);
        shown << QString::fromStdString(displayName(entry));
    }
    QCoreApplication::processEvents();
    if (!shown.isEmpty())
        showMessage("Не удалось удалить:\n" + shown.join('\n'), this);
}

void TMain::N7Click() {
    const int row = selectedRow(*DirectoryListBox1);
    const std::string folder =
        row < 0 ? std::string() : DirectoryListBox::folderOf(*DirectoryListBox1->item(row));
    // Only a subfolder of the current folder, selected with a single click,
    // may go: never the current folder, an ancestor or the root.
    const std::string name = folder.substr(folder.rfind('/') + 1);
    const bool subfolder = !folder.empty() && !name.empty() &&
                           joinPath(DirectoryListBox1->directory(), name) == folder &&
                           folder != DirectoryListBox1->directory() && folderExists(folder);
    if (!subfolder) {
        showMessage("Выйдите из папки перед её удалением!", this);
        return;
    }
    const QString shown = QString::fromStdString(folder);
    if (!askQuestion("Будет удалена папка <" + shown + ">  Продолжить?", this))
        return;
    if (removeFolder(folder)) {
        delete DirectoryListBox1->takeItem(row);
        QCoreApplication::processEvents();
    } else {
        showMessage("Нельзя удалить папку <" + shown + ">. Возможно папка не пустая!", this);
    }
}

} // namespace kadrix
