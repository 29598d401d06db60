// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/name_dialog_fields.h"

#include <QDialog>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kadrix {

class DirectoryListBox;
class FileListBox;

// How the dialog speaks to the user: the application's plain message box and
// its Yes/No question (true for Yes).
struct NameDialogPrompts {
    std::function<void(const QString& text, QWidget* parent)> message;
    std::function<bool(const QString& text, QWidget* parent)> question;
};

// The name dialog: asks for a file's new name or a new folder's name, and
// does the work itself when the user accepts. Made once and reused; the
// command that opens it sets the main window's fields and the proposed name.
// The window that owns it connects the buttons to the handlers, so that an
// error they raise reaches the error report.
class TRenameFileX : public QDialog {
    Q_OBJECT

public:
    TRenameFileX(const NameDialogFields& fields, FileListBox& files, DirectoryListBox& folders,
                 NameDialogPrompts prompts, QWidget* mainWindow);

    // Shows the dialog modally, in the middle of the screen, with name in the
    // field; returns when it is closed, with whether a file was renamed.
    bool showModalWith(const QString& name);

    // Handlers: accept (the tick) and cancel (the cross), and their buttons.
    void BitBtn1Click();
    void BitBtn2Click();
    QPushButton* acceptButton() const { return BitBtn1; }
    QPushButton* cancelButton() const { return BitBtn2; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void renameFile();
    void createFolder();

    const NameDialogFields& fields_;
    FileListBox& files_;
    DirectoryListBox& folders_;
    NameDialogPrompts prompts_;
    QWidget* mainWindow_;
    // The name as the field first showed it.
    QString shown_;

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};

} // namespace kadrix
