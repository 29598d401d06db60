// SPDX-License-Identifier: GPL-3.0-or-later
// The media module is found where it is installed, beside the program, and
// has the entry points the program asks for; a test program finds the built
// one.
#include "platform/linux/desktop/media_module_loader.h"
#include "platform/linux/media/media_module.h"
#include "tests/support/temp_dir.h"

#include <QLibrary>
#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

TEST(MediaModuleTest, AnInstalledProgramLoadsTheModuleOfItsOwnPrefix) {
    const test::TempDir prefix("kadrix-prefix");
    fs::create_directories(prefix.path() / "bin");
    fs::create_directories(prefix.path() / "lib" / "kadrix");
    const fs::path installed = prefix.path() / "lib" / "kadrix" / mediaModuleFileName;
    // A link, not a copy: the dynamic loader takes it for the module the
    // other case loads, rather than a second copy of it in this process.
    fs::create_symlink(KADRIX_MEDIA_MODULE_BUILT, installed);

    const QStringList candidates =
        mediaModuleCandidates(QString::fromStdString((prefix.path() / "bin").string()));
    ASSERT_FALSE(candidates.isEmpty());
    EXPECT_EQ(candidates.first(), QString::fromStdString(installed.string()));

    QLibrary module(candidates.first());
    ASSERT_TRUE(module.load()) << module.errorString().toStdString();
    for (const char* entryPoint :
         {"kadrixMediaSoundRecorder", "kadrixMediaClipPlayer", "kadrixMediaSoundPlayer"})
        EXPECT_NE(module.resolve(entryPoint), nullptr) << entryPoint;
}

TEST(MediaModuleTest, AProgramOutsideAPrefixLoadsTheBuiltModule) {
    EXPECT_EQ(loadedMediaModule(), QStringLiteral(KADRIX_MEDIA_MODULE_BUILT));
}

} // namespace
} // namespace kadrix
