// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mountinfo.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>

namespace kadrix {

namespace {

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t blank = line.find(' ', start);
        fields.push_back(line.substr(start, blank - start));
        if (blank == std::string_view::npos)
            return fields;
        start = blank + 1;
    }
}

bool parseNumber(std::string_view text, unsigned& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// "8:1" into major and minor.
bool parseDevice(std::string_view text, unsigned& major, unsigned& minor) {
    const std::size_t colon = text.find(':');
    return colon != std::string_view::npos && parseNumber(text.substr(0, colon), major) &&
           parseNumber(text.substr(colon + 1), minor);
}

// Fields: id, parent id, major:minor, root, mount point, options, optional
// fields ended by "-", type, source, superblock options.
bool parseLine(std::string_view line, MountEntry& entry) {
    const std::vector<std::string_view> fields = splitFields(line);
    unsigned id = 0;
    unsigned parent = 0;
    if (fields.size() < 9 || !parseNumber(fields[0], id) || !parseNumber(fields[1], parent) ||
        !parseDevice(fields[2], entry.major, entry.minor))
        return false;
    const auto separator = std::find(fields.begin() + 6, fields.end(), "-");
    if (fields.end() - separator < 3)
        return false;
    entry.root = unescapeMountField(fields[3]);
    entry.mountPoint = unescapeMountField(fields[4]);
    entry.fsType = unescapeMountField(separator[1]);
    entry.source = unescapeMountField(separator[2]);
    return !entry.root.empty() && entry.mountPoint.starts_with('/');
}

// Filesystems that live on a device but are never a volume of their own:
// snap packages and live-system images (squashfs), container layers.
bool isImageFileSystem(std::string_view type) {
    return type == "squashfs" || type == "overlay" || type == "erofs";
}

// Disk filesystems whose source is a pool name rather than a device path.
bool isPoolFileSystem(std::string_view type) {
    return type == "zfs";
}

bool isAtOrBelow(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

// The system's own folders: mounts there serve the system, not the user.
// Removable media mounted by udisks under /run/media are the exception.
bool isSystemPath(std::string_view mountPoint) {
    static constexpr std::array<std::string_view, 17> folders = {
        "/proc", "/sys",  "/dev", "/run",  "/boot", "/efi",   "/tmp",   "/var",   "/usr",
        "/etc",  "/snap", "/bin", "/sbin", "/lib",  "/lib32", "/lib64", "/libx32"};
    if (mountPoint.starts_with("/run/media/"))
        return false;
    return std::any_of(folders.begin(), folders.end(),
                       [&](std::string_view folder) { return isAtOrBelow(mountPoint, folder); });
}

bool isUserVolume(const MountEntry& entry) {
    if (entry.mountPoint == "/")
        return true;
    if (isSystemPath(entry.mountPoint) || isImageFileSystem(entry.fsType))
        return false;
    return isNetworkFileSystem(entry.fsType) || isPoolFileSystem(entry.fsType) ||
           entry.source.starts_with("/dev/");
}

} // namespace

bool isNetworkFileSystem(std::string_view type) {
    static constexpr std::array<std::string_view, 14> types = {
        "nfs", "nfs4", "cifs",      "smb3",       "smbfs",       "ncpfs",          "afs",
        "9p",  "ceph", "glusterfs", "fuse.sshfs", "fuse.rclone", "fuse.glusterfs", "fuse.davfs2"};
    return std::find(types.begin(), types.end(), type) != types.end();
}

std::string unescapeMountField(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            const int value =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            if (value <= 0xFF) {
                text += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        MountEntry entry;
        if (parseLine(line, entry))
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<MountEntry> userVolumeMounts(std::vector<MountEntry> entries) {
    // A map keyed by mount point keeps the last mount of each point, sorted.
    std::map<std::string, MountEntry> byMountPoint;
    for (MountEntry& entry : entries) {
        std::string mountPoint = entry.mountPoint;
        byMountPoint.insert_or_assign(std::move(mountPoint), std::move(entry));
    }
    std::vector<MountEntry> volumes;
    for (auto& [mountPoint, entry] : byMountPoint) {
        if (isUserVolume(entry))
            volumes.push_back(std::move(entry));
    }
    return volumes;
}

std::string containingMountPoint(std::string_view folder,
                                 const std::vector<std::string>& mountPoints) {
    std::string best;
    for (const std::string& mountPoint : mountPoints) {
        const bool contains =
            mountPoint == "/" ? folder.starts_with('/') : isAtOrBelow(folder, mountPoint);
        if (contains && mountPoint.size() > best.size())
            best = mountPoint;
    }
    return best;
}

std::string decodeLabelLinkName(std::string_view name) {
    std::string label;
    label.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int high = hexValue(name[i + 2]);
            const int low = hexValue(name[i + 3]);
            if (high >= 0 && low >= 0) {
                label += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        label += name[i];
    }
    return label;
}

} // namespace kadrix
