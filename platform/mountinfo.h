// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kadrix {

// One line of /proc/self/mountinfo, with the kernel's octal escapes ("\040"
// for a blank) undone.
struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string root;       // the folder of the filesystem mounted here ("/" unless a bind mount)
    std::string mountPoint; // where it is mounted
    std::string fsType;     // "ext4", "nfs4", "fuse.sshfs", ...
    std::string source;     // "/dev/sda1", "server:/export", "tmpfs", ...
};

// Undoes the escapes of a mountinfo field: a backslash and three octal digits
// stand for one byte; anything else is kept as it is.
std::string unescapeMountField(std::string_view field);

// Parses the whole text of a mountinfo file; lines that do not have the
// expected fields are skipped, so a damaged line never stops the rest.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// The mounts a user would pick as a volume: the filesystem root, disk
// partitions, removable media and network shares, but no pseudo filesystems
// (proc, sysfs, tmpfs, cgroup, overlay, squashfs snaps) and nothing mounted
// inside the system's own folders (/proc, /sys, /dev, /run, /boot, /etc, ...).
// Where several mounts share a mount point the last one, which hides the
// others, is kept. Sorted by mount point.
std::vector<MountEntry> userVolumeMounts(std::vector<MountEntry> entries);

// The mount point among mountPoints on which folder lies: the longest one
// that is the folder itself or one of its ancestors; empty when none is.
std::string containingMountPoint(std::string_view folder,
                                 const std::vector<std::string>& mountPoints);

// NFS, SMB, sshfs and the like: volumes whose label is the share they mount.
bool isNetworkFileSystem(std::string_view type);

// A name in /dev/disk/by-label is the label with unsafe bytes written as
// "\xNN" (a blank is "\x20"); this gives the label back.
std::string decodeLabelLinkName(std::string_view name);

} // namespace kadrix
