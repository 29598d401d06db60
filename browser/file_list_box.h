// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QListWidget>
#include <string>
#include <vector>

namespace kadrix {

// The browser's file list: the files of one folder that match a mask, in
// display order, one selectable at a time, each with a small glyph of its
// kind. Each entry keeps the file's name as raw bytes, so a name that is not
// valid UTF-8 is shown escaped and can still be opened. Reading the list
// makes its folder the process's working directory, so bare entries resolve
// there. It is read when its folder changes, when the mask changes, and on
// reload(); never otherwise.
class FileListBox : public QListWidget {
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent = nullptr);

    const std::string& directory() const { return directory_; }
    // Shows folder's files; nothing is read when it is the folder shown.
    // Throws kadrix::Error, leaving list and working directory as they were,
    // when the folder cannot be read or entered.
    void setDirectory(const std::string& folder);

    const std::string& mask() const { return mask_; }
    // "*.bmp", "*.*", ...: setting the mask in use reads nothing. Throws like
    // setDirectory.
    void setMask(const std::string& mask);

    // Reads the folder afresh, for files that came or went meanwhile.
    void reload();

    // The first selected entry, scanning from the first; empty when none is.
    std::string selectedName() const;
    // The file names of the entries, top to bottom.
    std::vector<std::string> names() const;
    // The file name an entry stands for.
    static std::string nameOf(const QListWidgetItem& item);
    // The glyph of an entry: picture, clip, sound or other file.
    const QIcon& glyphFor(const QString& entry) const;

    // An entry for a file the program has just made or renamed, put in its
    // place in the display order; the folder is not read.
    void insertName(const std::string& name);
    // Removes the entry of name, if there is one; the folder is not read.
    // No entry is selected afterwards: the list would select the next one,
    // and the next command would act on a file the user never chose.
    void removeName(const std::string& name);

signals:
    // After each reading of the folder.
    void listRead();
    // A click on an entry, or a key that moved the selection to another one:
    // what a list box counts as a click.
    void entryClicked();
    // A double click on an entry, or Enter on the selected one.
    void entryOpened();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A right click opens the context menu and leaves the selection alone;
    // it is no click on an entry either.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class EntryLook;

    void read(const std::string& folder, const std::string& mask);

    EntryLook* look_;
    std::string directory_;
    std::string mask_ = "*.bmp";
};

} // namespace kadrix
