// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/drive_combo_box.h"

#include "core/naming/folder_listing.h"
#include "platform/mountinfo.h"

#include <algorithm>

namespace kadrix {

namespace {

QString entryText(const Volume& volume) {
    std::string text = displayName(volume.mountPoint);
    if (!volume.label.empty())
        text += " [" + displayName(volume.label) + "]";
    return QString::fromStdString(text);
}

} // namespace

DriveComboBox::DriveComboBox(QWidget* parent, VolumeSource volumes)
    : QComboBox(parent), volumes_(std::move(volumes)) {
    // activated comes only from the user's picks, not from setCurrentIndex.
    connect(this, &QComboBox::activated, this, &DriveComboBox::picked);
    refresh();
}

std::string DriveComboBox::drive() const {
    return mountPointAt(currentIndex());
}

void DriveComboBox::selectVolumeOf(const std::string& folder) {
    std::vector<std::string> mountPoints;
    for (int index = 0; index < count(); ++index)
        mountPoints.push_back(mountPointAt(index));
    const std::string mountPoint = containingMountPoint(folder, mountPoints);
    const auto found = std::find(mountPoints.begin(), mountPoints.end(), mountPoint);
    if (found == mountPoints.end())
        return;
    shownIndex_ = static_cast<int>(found - mountPoints.begin());
    setCurrentIndex(shownIndex_);
}

void DriveComboBox::refresh() {
    const std::string shown = drive();
    const std::vector<Volume> volumes = volumes_();
    clear();
    for (const Volume& volume : volumes) {
        addItem(entryText(volume), QByteArray(volume.mountPoint.data(),
                                              static_cast<qsizetype>(volume.mountPoint.size())));
    }
    // The volume shown stays shown; if it went, the one it was mounted on.
    shownIndex_ = count() > 0 ? 0 : -1;
    setCurrentIndex(shownIndex_);
    if (!shown.empty())
        selectVolumeOf(shown);
}

void DriveComboBox::showPopup() {
    // Caught here: an exception leaving this event handler would unwind
    // through Qt's own frames, which are built without exception support.
    try {
        refresh();
    } catch (const std::exception& error) {
        emit errorOccurred(QString::fromStdString(error.what()));
        return;
    }
    QComboBox::showPopup();
}

void DriveComboBox::picked(int index) {
    if (index == shownIndex_)
        return;
    shownIndex_ = index;
    emit driveChanged();
}

std::string DriveComboBox::mountPointAt(int index) const {
    if (index < 0 || index >= count())
        return {};
    const QByteArray mountPoint = itemData(index).toByteArray();
    return std::string(mountPoint.constData(), static_cast<std::size_t>(mountPoint.size()));
}

} // namespace kadrix
