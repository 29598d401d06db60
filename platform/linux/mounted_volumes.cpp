// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mounted_volumes.h"

#include "core/error.h"
#include "core/file.h"
#include "core/path.h"
#include "platform/mountinfo.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

namespace kadrix {

namespace {

constexpr const char* mountInfoPath = "/proc/self/mountinfo";
constexpr const char* labelFolder = "/dev/disk/by-label";

std::string readMountInfo(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        const int error = errno;
        throw systemError("Cannot open file", path, error);
    }
    // The file reports a size of 0: read until the end.
    std::string text;
    char buffer[16384];
    while (true) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            throw systemError("Cannot read file", path, error);
        }
        if (n == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

// Filesystem labels by device number, from the links udev keeps; a system
// without udev simply has no labels.
std::map<dev_t, std::string> labelsByDevice() {
    std::map<dev_t, std::string> labels;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(labelFolder), ::closedir);
    if (!dir)
        return labels;
    while (const dirent* entry = ::readdir(dir.get())) {
        struct stat device {};
        if (entry->d_name[0] == '.' ||
            ::stat(joinPath(labelFolder, entry->d_name).c_str(), &device) != 0 ||
            !S_ISBLK(device.st_mode))
            continue;
        labels.emplace(device.st_rdev, decodeLabelLinkName(entry->d_name));
    }
    return labels;
}

} // namespace

std::vector<Volume> mountedVolumes() {
    return volumesListedIn(mountInfoPath);
}

std::vector<Volume> volumesListedIn(const std::string& mountInfoPath) {
    std::string mountInfo;
    try {
        mountInfo = readMountInfo(mountInfoPath);
    } catch (const Error&) {
        // Without the table the program still starts, on the root.
        return {Volume{"/", {}}};
    }
    const std::map<dev_t, std::string> labels = labelsByDevice();
    std::vector<Volume> volumes;
    for (MountEntry& mount : userVolumeMounts(parseMountInfo(mountInfo))) {
        Volume volume{std::move(mount.mountPoint), {}};
        if (const auto label = labels.find(makedev(mount.major, mount.minor));
            label != labels.end())
            volume.label = label->second;
        else if (isNetworkFileSystem(mount.fsType))
            volume.label = std::move(mount.source);
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

} // namespace kadrix
