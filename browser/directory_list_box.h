// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mounted_volumes.h"

#include <QIcon>
#include <QListWidget>
#include <map>
#include <string>

namespace kadrix {

class FileListBox;

// The browser's folder tree: the filesystem root, each ancestor of the
// current folder, the current folder (selected), then its subfolders in
// display order, each indented one step deeper than its parent. A double
// click or Enter opens an entry (a folder that cannot be shown is told by
// errorOccurred); a single click only selects it.
class DirectoryListBox : public QListWidget {
    Q_OBJECT

public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    // The file list that shows the files of this list's folder.
    void setFileList(FileListBox* fileList) { fileList_ = fileList; }
    // Where setDrive learns which volume a folder lies on.
    void setVolumeSource(VolumeSource volumes) { volumes_ = std::move(volumes); }

    const std::string& directory() const { return directory_; }
    // Makes folder (absolute, or relative to the working directory) the
    // current folder: first the linked file list follows it, then
    // directoryChanged is emitted. Nothing happens when it is current already.
    // Throws kadrix::Error when it cannot be read or entered, leaving both
    // lists on the folder they showed.
    void setDirectory(const std::string& folder);

    // Reads the current folder's subfolders afresh. Throws like setDirectory.
    void reload();

    // Makes the folder last shown on the volume at mountPoint current, or the
    // volume's root the first time; nothing happens when the current folder is
    // on that volume already. Throws like setDirectory.
    void setDrive(const std::string& mountPoint);

    // The folder of the first selected entry; empty when none is selected.
    std::string selectedFolder() const;
    // The folder an entry stands for.
    static std::string folderOf(const QListWidgetItem& item);

signals:
    void directoryChanged();
    // A folder the user opened could not be shown; text says why.
    void errorOccurred(const QString& text);

protected:
    // A right click opens the context menu and leaves the selection alone.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Opens an entry for the user; a folder that cannot be shown is told.
    void openEntry(const QListWidgetItem& entry);
    void fill(const std::string& folder, const std::vector<std::string>& subfolders);
    void addEntry(const std::string& folder, std::string_view name, int depth, const QIcon& icon);

    FileListBox* fileList_ = nullptr;
    VolumeSource volumes_ = mountedVolumes;
    std::string directory_;
    std::map<std::string, std::string> lastFolderOnVolume_;
    QIcon openIcon_;
    QIcon closedIcon_;
};

} // namespace kadrix
