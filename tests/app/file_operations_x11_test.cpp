// The browser's file and folder operations in the real window on a private X
// server: rename, new folder, delete, delete all, delete folder, and the
// context menus that offer them.
#include "app/UnitMain.h"
#include "browser/directory_list_box.h"
#include "browser/file_list_box.h"
#include "tests/app/command_script.h"
#include "tests/browser/browser_test_support.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/list_texts.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/working_folder.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::CommandScript;
using test::control;
using test::TempDir;
using test::textsIn;

std::string contentOf(const fs::path& path) {
    return test::readText(path.string());
}

class FileOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(at("a.bmp"), "picture a");
        test::writeFile(at("c.bmp"), "picture c, kept as it is");
        test::writeFile(at("clip.avi"), "clip");
        test::writeFile(at("notes.txt"), "notes");
        fs::create_directory(folder() / "sub");
        test::writeFile(at("sub/inner.bmp"), "inner");
        fs::create_directory(folder() / "empty");
        window_ = std::make_unique<TMain>(lock_.folders());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    fs::path folder() const { return root_.path() / "work"; }
    std::string at(const char* name) const { return (folder() / name).string(); }
    FileListBox& files() const { return *control<FileListBox>(*window_, "FileListBox1"); }
    DirectoryListBox& folders() const {
        return *control<DirectoryListBox>(*window_, "DirectoryListBox1");
    }
    QAction& command(const char* name) const { return *control<QAction>(*window_, name); }
    void select(QListWidget& list, const QString& text) const {
        const auto found = list.findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list.setCurrentItem(found.front());
    }

    TempDir root_{"kadrix-fileops"};
    bool made_ = fs::create_directory(root_.path() / "work");
    test::WorkingFolder working_{folder().string()};
    test::LockFolders lock_;
    std::unique_ptr<TMain> window_;
};

TEST_F(FileOperationsTest, RenameMovesTheFileAndTheListFollowsWithoutRereading) {
    // Each step renames what the step before made. A name off the mask, or
    // with a folder part, stays listed until the list is read again.
    const struct {
        const char* from;
        const char* typed;
        fs::path lands;
        QStringList listed;
    } steps[] = {
        {"a.bmp", "b.bmp", folder() / "b.bmp", {"b.bmp", "c.bmp"}},
        {"b.bmp", "b.txt", folder() / "b.txt", {"b.txt", "c.bmp"}},
        {"b.txt", "../moved.bmp", root_.path() / "moved.bmp", {"../moved.bmp", "c.bmp"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed);
        select(files(), step.from);
        CommandScript script;
        script.nameDialog(step.typed);
        script.run([&] { command("N3").trigger(); });
        EXPECT_TRUE(script.boxes().isEmpty());
        EXPECT_FALSE(fs::exists(at(step.from)));
        EXPECT_EQ(contentOf(step.lands), "picture a");
        EXPECT_EQ(textsIn(files()), step.listed);
        EXPECT_FALSE(script.dialog()->isVisible());
    }
}

TEST_F(FileOperationsTest, RenameNeverReplacesAndRefusesWhatNamesNoFreeFile) {
    // A taken name, a folder, an empty name: the source stays byte for byte,
    // and so does the file at the taken name.
    for (const QString& typed : {QString("c.bmp"), QString("sub"), QString("")}) {
        select(files(), "a.bmp");
        CommandScript script;
        script.nameDialog(typed).answer(QMessageBox::Ok);
        script.run([&] { command("N3").trigger(); });
        EXPECT_EQ(script.boxes(), QStringList({"Переименовать не удалось"})) << typed.toStdString();
        EXPECT_FALSE(script.dialog()->isVisible());
        EXPECT_EQ(contentOf(at("a.bmp")), "picture a");
        EXPECT_EQ(contentOf(at("c.bmp")), "picture c, kept as it is");
        EXPECT_TRUE(fs::is_directory(at("sub")));
        EXPECT_EQ(textsIn(files()), QStringList({"a.bmp", "c.bmp"}));
    }

    // A name that is not UTF-8, accepted as the field shows it: the rename is
    // refused as for any unchanged name, and the file keeps its bytes.
    test::writeFile(at("odd\xFF.bmp"), "odd");
    files().reload();
    select(files(), "odd\\xFF.bmp");
    CommandScript unchanged;
    unchanged.nameDialog(std::nullopt).answer(QMessageBox::Ok);
    unchanged.run([&] { command("N3").trigger(); });
    EXPECT_EQ(unchanged.boxes(), QStringList({"Переименовать не удалось"}));
    EXPECT_EQ(contentOf(at("odd\xFF.bmp")), "odd");
    EXPECT_FALSE(fs::exists(at("odd\uFFFD.bmp")));

    // With nothing selected the dialog opens empty, and accepting fails.
    files().clearSelection();
    CommandScript script;
    QString proposed = "unset";
    script.nameDialog(std::nullopt, &proposed).answer(QMessageBox::Ok);
    script.run([&] { command("N3").trigger(); });
    EXPECT_EQ(proposed, "");
    EXPECT_EQ(script.boxes(), QStringList({"Переименовать не удалось"}));
    EXPECT_TRUE(fs::is_directory(folder()));
}

TEST_F(FileOperationsTest, NewFolderAsksForANameThenOpensTheFolderMade) {
    CommandScript blank;
    blank.nameDialog(" \t ").answer(QMessageBox::Ok).nameDialog("sub").answer(QMessageBox::Ok);
    bool stayedOpen = false;
    blank.cancelNameDialog(&stayedOpen);
    blank.run([&] { command("N6").trigger(); });
    EXPECT_EQ(blank.boxes(),
              QStringList({"Имя папки не задано!",
                           "Папка <" + QString::fromStdString(at("sub")) + "> уже существует!"}));
    EXPECT_TRUE(stayedOpen) << "Escape or Enter closed the name dialog";
    EXPECT_FALSE(fs::exists(at(" \t ")));

    CommandScript no;
    no.nameDialog("later").answer(QMessageBox::No);
    no.run([&] { command("N6").trigger(); });
    EXPECT_FALSE(fs::exists(at("later")));
    EXPECT_FALSE(no.dialog()->isVisible());
    EXPECT_EQ(folders().directory(), folder().string());

    CommandScript yes;
    QString proposed;
    yes.nameDialog(std::nullopt, &proposed).answer(QMessageBox::Yes);
    yes.run([&] { command("N6").trigger(); });
    const std::string made = at("новая папка");
    EXPECT_EQ(proposed, "новая папка");
    EXPECT_EQ(yes.boxes(), QStringList({"Будет создана папка <" + QString::fromStdString(made) +
                                        ">  Продолжить?"}));
    EXPECT_TRUE(fs::is_directory(made));
    EXPECT_FALSE(yes.dialog()->isVisible());
    EXPECT_EQ(folders().directory(), made);
    EXPECT_EQ(files().directory(), made);
    EXPECT_EQ(files().count(), 0);
    EXPECT_EQ(control<QLineEdit>(*window_, "Edit1")->text(),
              QString::fromStdString(made) + "/Pic000001.bmp");
}

TEST_F(FileOperationsTest, AFolderThatCannotBeMadeIsReportedAndTheDialogStays) {
    test::UnreadableFolder readOnly(folder(), fs::perms::owner_read | fs::perms::owner_exec);
    CommandScript script;
    script.nameDialog("x").answer(QMessageBox::Yes).answer(QMessageBox::Ok).cancelNameDialog();
    script.run([&] { command("N6").trigger(); });
    ASSERT_EQ(script.boxes().size(), 2);
    EXPECT_EQ(script.boxes()[1].toStdString(),
              "Cannot open \"" + at("x") + "\". No such file or folder.");
    EXPECT_FALSE(fs::exists(at("x")));
    EXPECT_EQ(folders().directory(), folder().string());
}

TEST_F(FileOperationsTest, DeleteRemovesTheSelectedFileOrSaysItCouldNot) {
    select(files(), "a.bmp");
    command("N4").trigger();
    EXPECT_FALSE(fs::exists(at("a.bmp")));
    EXPECT_EQ(textsIn(files()), QStringList({"c.bmp"}));

    select(files(), "c.bmp");
    test::UnreadableFolder readOnly(folder(), fs::perms::owner_read | fs::perms::owner_exec);
    const auto seen = test::answerMessageBox([&] { command("N4").trigger(); });
    EXPECT_EQ(seen.text, "Удаление не удалось");
    EXPECT_TRUE(fs::exists(at("c.bmp")));
    EXPECT_EQ(textsIn(files()), QStringList({"c.bmp"}));
}

TEST_F(FileOperationsTest, DeleteAllRemovesExactlyTheListedFiles) {
    control<QPushButton>(*window_, "BitBtn3")->click();
    EXPECT_EQ(files().count(), 0);
    EXPECT_FALSE(fs::exists(at("a.bmp")));
    EXPECT_FALSE(fs::exists(at("c.bmp")));
    for (const char* kept : {"clip.avi", "notes.txt", "sub/inner.bmp"})
        EXPECT_TRUE(fs::exists(at(kept))) << kept;
}

TEST_F(FileOperationsTest, DeleteFolderTakesOnlyAnEmptySubfolderPickedWithOneClick) {
    // At start the current folder itself is selected.
    auto seen = test::answerMessageBox([&] { command("N7").trigger(); });
    EXPECT_EQ(seen.text, "Выйдите из папки перед её удалением!");
    EXPECT_TRUE(fs::is_directory(folder()));

    select(folders(), "sub");
    CommandScript full;
    full.answer(QMessageBox::Yes).answer(QMessageBox::Ok);
    full.run([&] { command("N7").trigger(); });
    const QString sub = QString::fromStdString(at("sub"));
    EXPECT_EQ(full.boxes(),
              QStringList({"Будет удалена папка <" + sub + ">  Продолжить?",
                           "Нельзя удалить папку <" + sub + ">. Возможно папка не пустая!"}));
    EXPECT_TRUE(fs::exists(at("sub/inner.bmp")));

    select(folders(), "empty");
    CommandScript no;
    no.answer(QMessageBox::No);
    no.run([&] { command("N7").trigger(); });
    EXPECT_TRUE(fs::is_directory(at("empty")));

    CommandScript yes;
    yes.answer(QMessageBox::Yes);
    yes.run([&] { command("N7").trigger(); });
    EXPECT_FALSE(fs::exists(at("empty")));
    EXPECT_TRUE(folders().findItems("empty", Qt::MatchExactly).isEmpty());
    EXPECT_EQ(folders().directory(), folder().string());
}

TEST_F(FileOperationsTest, ARightClickOpensTheMenuAndKeepsTheSelection) {
    select(files(), "a.bmp");
    QListWidgetItem* other = files().findItems("c.bmp", Qt::MatchExactly).front();
    const QPoint point = files().visualItemRect(other).center();
    QTest::mouseClick(files().viewport(), Qt::RightButton, {}, point);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, point,
                                files().viewport()->mapToGlobal(point));
    QApplication::sendEvent(files().viewport(), &menuEvent);
    auto* menu = control<QMenu>(*window_, "PopupMenu2");
    EXPECT_TRUE(test::waitFor([&] { return menu->isVisible(); }));
    EXPECT_EQ(files().selectedName(), "a.bmp");
    for (QAction* action : menu->actions())
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    menu->close();
}

} // namespace
} // namespace kadrix
