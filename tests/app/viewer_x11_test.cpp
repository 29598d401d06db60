// The viewer opened from the main window on an X server: a double click on
// the preview opens the picture at its real size; the viewer is made on
// first use and kept.
#include "app/UnitMain.h"
#include "browser/file_list_box.h"
#include "convert/UnitVid.h"
#include "tests/convert/convert_test_support.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using test::control;
using test::waitFor;
namespace fs = std::filesystem;

class MainWindowViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        fs::current_path(dir_.path());
        window_ = std::make_unique<TMain>(TMain::LockFolders{
            QString::fromStdString(program_.str()), QString::fromStdString(runtime_.str())});
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 20000));
    }

    template <typename T> T* get(const char* name) const { return control<T>(*window_, name); }

    void writePicture(const std::string& name, int width, int height) {
        test::writeFile(dir_.path(name),
                        test::makeBmp({24, width, height, false, {}, [](int x, int y) {
                                           return static_cast<std::uint32_t>((x * 3) << 16 |
                                                                             (y * 5) << 8 | 64);
                                       }}));
        get<FileListBox>("FileListBox1")->reload();
    }

    void click(const std::string& name) const {
        auto* list = get<FileListBox>("FileListBox1");
        for (int row = 0; row < list->count(); ++row)
            if (FileListBox::nameOf(*list->item(row)) == name) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(row)).center());
                return;
            }
        FAIL() << name << " is not listed";
    }

    TVid* viewer() const { return window_->findChild<TVid*>("TVid"); }

    // Double-clicks the preview and runs body while the viewer it opens is
    // shown; the viewer is closed by a double click on its surface.
    void whileViewerOpen(const std::function<void(TVid&)>& body) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            ASSERT_TRUE(waitFor([&] { return viewer() && viewer()->isActiveWindow(); }, 20000));
            body(*viewer());
            QTest::mouseDClick(viewer(), Qt::LeftButton, {}, QPoint(2, 2));
        });
        QTest::mouseDClick(get<QLabel>("Image1"), Qt::LeftButton, {}, QPoint(20, 20));
        EXPECT_TRUE(ran);
        ASSERT_NE(viewer(), nullptr);
        EXPECT_FALSE(viewer()->isVisible()) << "the double click on the surface did not close it";
    }

    test::TempDir program_{"kadrix-program"};
    test::TempDir runtime_{"kadrix-runtime"};
    test::TempDir dir_{"kadrix-main-viewer"};
    std::unique_ptr<TMain> window_;
};

TEST_F(MainWindowViewerTest, ADoubleClickOnThePreviewOpensThePictureAtItsRealSize) {
    EXPECT_EQ(viewer(), nullptr) << "the viewer is made on first use, not at start";
    writePicture("Pic000001.bmp", 80, 50);
    writePicture("Pic000002.bmp", 30, 20);
    click("Pic000001.bmp");
    ASSERT_TRUE(waitFor([&] { return get<QFrame>("Panel3")->isVisible(); }));

    whileViewerOpen([&](TVid& v) {
        EXPECT_EQ(window_->selectedFile(), dir_.path("Pic000001.bmp"));
        EXPECT_TRUE(v.isModal());
        EXPECT_EQ(v.windowTitle(), "Просмотр изображения");
        ASSERT_TRUE(waitFor([&] { return !v.shownPicture().isNull(); }));
        EXPECT_EQ(v.shownPicture().size(), QSize(80, 50));
        EXPECT_EQ(control<QLineEdit>(v, "MaskEdit1")->displayText().trimmed(), "50");
        control<QLineEdit>(v, "Edit1")->setText("kept");
    });
    TVid* first = viewer();

    click("Pic000002.bmp");
    EXPECT_EQ(window_->selectedFile(), "Pic000002.bmp");
    whileViewerOpen([&](TVid& v) {
        EXPECT_EQ(&v, first) << "the viewer is reused";
        EXPECT_EQ(window_->selectedFile(), dir_.path("Pic000002.bmp"));
        ASSERT_TRUE(waitFor([&] { return !v.shownPicture().isNull(); }));
        EXPECT_EQ(v.shownPicture().size(), QSize(30, 20));
        EXPECT_EQ(control<QLineEdit>(v, "Edit1")->text(), "kept") << "nothing is reset on closing";
    });
}

} // namespace
} // namespace kadrix
