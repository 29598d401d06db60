// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/main_window.h"
#include "browser/file_list_box.h"
#include "tests/support/find_control.h"
#include "tests/support/listed_file.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>

namespace kadrix::test {

// The main window shown on the test's X display, its browser in a folder of
// the test's own that the test fills.
class ShownMainWindowTest : public ::testing::Test {
protected:
    explicit ShownMainWindowTest(const std::string& tag) : dir_(tag) {}

    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        reopenWith(testServices());
    }

    // The window made afresh with services: a test's real or fake ones.
    void reopenWith(Services services) {
        window_.reset();
        window_ = std::make_unique<TMain>(std::move(services), lock_.folders());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 20000));
    }

    template <typename T> T* get(const char* name) const { return control<T>(*window_, name); }
    FileListBox& files() const { return *get<FileListBox>("FileListBox1"); }
    void click(const std::string& name) const { clickListed(files(), name); }

    TempDir dir_;
    WorkingFolder working_{dir_.str()};
    LockFolders lock_;
    std::unique_ptr<TMain> window_;
};

} // namespace kadrix::test
