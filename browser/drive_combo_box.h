// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/mounted_volumes.h"

#include <QComboBox>
#include <string>

namespace kadrix {

// The browser's drive box: one entry per volume, shown as its mount point
// and, where it has one, a blank and its label in square brackets
// ("/media/anna/USB [USB]"). The volumes are read afresh each time the list
// drops down, so media plugged in meanwhile show up.
class DriveComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit DriveComboBox(QWidget* parent = nullptr, VolumeSource volumes = mountedVolumes);

    // The mount point of the volume shown; empty when there is none.
    std::string drive() const;
    // Shows the volume on which folder lies, without emitting driveChanged.
    void selectVolumeOf(const std::string& folder);
    // Reads the volumes afresh, keeping the one shown where it is still there.
    void refresh();
    // Drops the list down, with the volumes read afresh; when they cannot be
    // read, errorOccurred tells why and the list stays as it was.
    void showPopup() override;

signals:
    // After the user picked an entry other than the one shown before.
    void driveChanged();
    // The volumes could not be read when the list was to drop down.
    void errorOccurred(const QString& text);

private:
    void picked(int index);
    std::string mountPointAt(int index) const;

    VolumeSource volumes_;
    int shownIndex_ = -1;
};

} // namespace kadrix
