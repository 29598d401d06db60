// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/file_list_box.h"

#include <QPoint>
#include <QTest>
#include <stdexcept>
#include <string>

namespace kadrix::test {

// The entry of a listed file, found by the name's bytes; null when the list
// does not show it.
inline QListWidgetItem* listedEntry(const FileListBox& list, const std::string& name) {
    for (int row = 0; row < list.count(); ++row)
        if (FileListBox::nameOf(*list.item(row)) == name)
            return list.item(row);
    return nullptr;
}

// Where a listed file's entry stands in the list's viewport, scrolled into
// view; throws when the file is not listed.
inline QPoint placeOfListed(FileListBox& list, const std::string& name) {
    QListWidgetItem* item = listedEntry(list, name);
    if (!item)
        throw std::logic_error(name + " is not listed");
    list.scrollToItem(item);
    return list.visualItemRect(item).center();
}

// A click on a listed file, as the user's mouse gives it.
inline void clickListed(FileListBox& list, const std::string& name) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, placeOfListed(list, name));
}

} // namespace kadrix::test
