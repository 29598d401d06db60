#pragma once

#include "browser/name_dialog_fields.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kadrix {

class DirectoryListBox;
class FileListBox;

// The name dialog: asks for a file's new name or a new folder's name, and
// does the work itself when the user accepts. Made once and reused; the
// command that opens it sets the main window's fields and the proposed name.
class TRenameFileX : public QDialog {
    Q_OBJECT

public:
    TRenameFileX(const NameDialogFields& fields, FileListBox& files, DirectoryListBox& folders,
                 QWidget* mainWindow);

    // Shows the dialog modally, in the middle of the screen, with name in the
    // field; returns when it is closed.
    void showModalWith(const QString& name);

    // Handlers: accept (the tick) and cancel (the cross).
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void renameFile();
    void createFolder();

    const NameDialogFields& fields_;
    FileListBox& files_;
    DirectoryListBox& folders_;
    QWidget* mainWindow_;

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};

} // namespace kadrix
