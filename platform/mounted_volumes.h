// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kadrix {

// A volume the user can pick in the drive box.
struct Volume {
    std::string mountPoint;
    std::string label; // the filesystem label, a network share's source, or empty
};

// The mounted volumes a user would pick (the filesystem root, home and data
// partitions, removable media, network shares), sorted by mount point, from
// the mount table of this process alone: no volume is looked at, since a
// network share that stopped answering would hang the look. Where the table
// cannot be read, the root alone.
std::vector<Volume> mountedVolumes();

// The same from the mount table in the file at mountInfoPath.
std::vector<Volume> volumesListedIn(const std::string& mountInfoPath);

// Where a widget gets its volumes from: mountedVolumes, or a fixed list in a
// test.
using VolumeSource = std::function<std::vector<Volume>()>;

} // namespace kadrix
