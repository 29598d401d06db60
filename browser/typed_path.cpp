// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/typed_path.h"

#include "browser/directory_list_box.h"
#include "browser/file_list_box.h"
#include "core/error.h"
#include "platform/file_operations.h"

namespace kadrix {

namespace {

QListWidgetItem* entryNamed(const FileListBox& files, const std::string& name) {
    for (int row = 0; row < files.count(); ++row) {
        if (FileListBox::nameOf(*files.item(row)) == name)
            return files.item(row);
    }
    return nullptr;
}

} // namespace

void applyTypedPath(DirectoryListBox& folders, FileListBox& files, const std::string& path) {
    if (folderExists(path)) {
        folders.setDirectory(path);
        return;
    }
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (last.find_first_of("*?") != std::string::npos) {
        folders.setDirectory(folder);
        files.setMask(last);
        return;
    }
    if (!fileExists(path))
        throw Error("Cannot open \"" + path + "\". No such file or folder");
    folders.setDirectory(folder);
    if (!entryNamed(files, last))
        files.setMask(last);
    if (QListWidgetItem* entry = entryNamed(files, last))
        files.setCurrentItem(entry);
}

} // namespace kadrix
