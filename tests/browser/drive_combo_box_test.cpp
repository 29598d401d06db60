// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/drive_combo_box.h"

#include "core/error.h"
#include "tests/support/gui_wait.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

class DriveComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        box_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box_));
    }

    // Picks the entry shown, as a user does who opens the list and presses
    // Enter on the entry it comes up with.
    void pickTheShownEntry() {
        box_.showPopup();
        QTest::keyClick(box_.view(), Qt::Key_Return);
    }

    std::vector<Volume> volumes_ = {{"/", ""},
                                    {"/media/anna/USB", "USB"},
                                    {"/media/anna/USB/inner", ""},
                                    {"/mnt/odd\xFF", "Мой диск"}};
    int reads_ = 0;
    bool unreadable_ = false;
    DriveComboBox box_{
        nullptr, [this] {
            ++reads_;
            if (unreadable_)
                throw Error("Cannot open file \"/proc/self/mountinfo\". No such file or directory");
            return volumes_;
        }};
};

TEST_F(DriveComboBoxTest, ShowsEachVolumeWithItsLabel) {
    ASSERT_EQ(box_.count(), 4);
    EXPECT_EQ(box_.itemText(0), "/");
    EXPECT_EQ(box_.itemText(1), "/media/anna/USB [USB]");
    EXPECT_EQ(box_.itemText(2), "/media/anna/USB/inner");
    EXPECT_EQ(box_.itemText(3), "/mnt/odd\\xFF [Мой диск]");
    EXPECT_EQ(box_.drive(), "/");
}

TEST_F(DriveComboBoxTest, SelectsTheVolumeOfAFolderWithoutAnnouncingIt) {
    const QSignalSpy changes(&box_, &DriveComboBox::driveChanged);
    const std::pair<std::string, std::string> cases[] = {
        {"/media/anna/USB/DCIM", "/media/anna/USB"},
        {"/media/anna/USB/inner/x", "/media/anna/USB/inner"},
        {"/mnt/odd\xFF", "/mnt/odd\xFF"},
        {"/media/anna/USB2", "/"},
        {"/home/anna", "/"},
    };
    for (const auto& [folder, drive] : cases) {
        box_.selectVolumeOf(folder);
        EXPECT_EQ(box_.drive(), drive) << folder;
    }
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(DriveComboBoxTest, AnnouncesOnlyAPickOfAnotherEntry) {
    const QSignalSpy changes(&box_, &DriveComboBox::driveChanged);
    QTest::keyClick(&box_, Qt::Key_Down);
    EXPECT_EQ(box_.drive(), "/media/anna/USB");
    EXPECT_EQ(changes.count(), 1);

    // Picked again (say, after "not ready", with a medium put in): nothing.
    pickTheShownEntry();
    EXPECT_EQ(box_.drive(), "/media/anna/USB");
    EXPECT_EQ(changes.count(), 1);

    QTest::keyClick(&box_, Qt::Key_Up);
    EXPECT_EQ(box_.drive(), "/");
    EXPECT_EQ(changes.count(), 2);
    QTest::keyClick(&box_, Qt::Key_Down);
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(DriveComboBoxTest, ReadsTheVolumesAgainWhenTheListDropsDown) {
    box_.selectVolumeOf("/media/anna/USB/inner");
    const QSignalSpy changes(&box_, &DriveComboBox::driveChanged);
    volumes_.push_back({"/media/anna/CD", "DISC"});
    const int readsBefore = reads_;
    box_.showPopup();
    box_.hidePopup();
    EXPECT_EQ(reads_, readsBefore + 1);
    EXPECT_EQ(box_.count(), 5);
    EXPECT_EQ(box_.drive(), "/media/anna/USB/inner");

    // The volume shown went: the one it was mounted on is shown instead.
    volumes_.erase(volumes_.begin() + 2);
    box_.refresh();
    EXPECT_EQ(box_.drive(), "/media/anna/USB");
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(DriveComboBoxTest, VolumesThatCannotBeReadAreReportedAndTheListStays) {
    box_.selectVolumeOf("/media/anna/USB");
    unreadable_ = true;
    QSignalSpy errors(&box_, &DriveComboBox::errorOccurred);
    box_.showPopup();
    ASSERT_EQ(errors.count(), 1);
    const QString report = errors.at(0).at(0).toString();
    EXPECT_TRUE(report.startsWith("Cannot open file \"/proc/self/mountinfo\""))
        << report.toStdString();
    EXPECT_EQ(box_.count(), 4);
    EXPECT_EQ(box_.drive(), "/media/anna/USB");
    EXPECT_FALSE(box_.view()->isVisible());
}

} // namespace
} // namespace kadrix
