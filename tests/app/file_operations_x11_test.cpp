// SPDX-License-Identifier: GPL-3.0-or-later
// The browser's file and folder operations in the real window on a private X
// server: rename, new folder, delete, delete all, delete folder, and the
// context menus that offer them.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "browser/file_list_box.h"
#include "tests/app/command_script.h"
#include "tests/browser/browser_test_support.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/list_texts.h"
#include "tests/support/listed_file.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QAction>
#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <sys/mount.h>
#include <unistd.h>

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
        window_ = std::make_unique<TMain>(test::testServices(), lock_.folders());
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
    // A taken name, a folder: the source stays byte for byte, and so does
    // the file at the taken name.
    for (const QString& typed : {QString("c.bmp"), QString("sub")}) {
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

    // A blank name, and one that would hide the file from every list, are
    // refused before anything moves; the dialog stays for another name.
    const std::pair<QString, QString> refused[] = {
        {"", "Имя файла не задано!"},
        {" \t ", "Имя файла не задано!"},
        {".a.bmp", "Имя файла не может начинаться с точки!"},
        {"sub/.a.bmp", "Имя файла не может начинаться с точки!"},
        {"..", "Имя файла не может начинаться с точки!"}};
    for (const auto& [typed, said] : refused) {
        select(files(), "a.bmp");
        CommandScript script;
        script.nameDialog(typed).answer(QMessageBox::Ok).cancelNameDialog();
        script.run([&] { command("N3").trigger(); });
        EXPECT_EQ(script.boxes(), QStringList({said})) << typed.toStdString();
        EXPECT_EQ(contentOf(at("a.bmp")), "picture a");
    }
    EXPECT_FALSE(fs::exists(at("sub/.a.bmp")));
    EXPECT_FALSE(fs::exists(at(".a.bmp")));
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

TEST_F(FileOperationsTest, AFolderThatCannotBeMadeIsReportedWithTheSystemsReason) {
    test::UnreadableFolder readOnly(folder(), fs::perms::owner_read | fs::perms::owner_exec);
    CommandScript script;
    script.nameDialog("x").answer(QMessageBox::Yes).answer(QMessageBox::Ok).cancelNameDialog();
    script.run([&] { command("N6").trigger(); });
    ASSERT_EQ(script.boxes().size(), 2);
    EXPECT_EQ(script.boxes()[1].toStdString(),
              "Не удалось создать папку <" + at("x") + ">: " + std::strerror(EACCES));
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

// One row of what a user does to the files of a folder and what must come
// of it. Every row's folder starts with three pictures: a.bmp, c.bmp and the
// read-only ro.bmp (mode 0444).
enum class Act { Click, Delete, Rename, DeleteAll, Jpg };
struct Step {
    Act act;
    // The entry clicked, or the name typed should the name dialog come.
    const char* name = "";
};
struct Row {
    const char* what;
    std::vector<Step> steps;
    // The message boxes shown, in order, each matched by a pattern.
    std::vector<const char*> boxes;
    // The folder afterwards, exactly: each name with the file whose bytes it
    // must hold unchanged.
    std::map<std::string, std::string> onDisk;
    QStringList listed;
    // What the preview shows afterwards ("" for nothing: no picture, no
    // strip); whether any entry is selected.
    const char* previewed;
    bool selection;
};

// Plays the user while command runs: every message box is answered with OK
// and its text noted; the name dialog gets typed into and accepted, or, with
// nothing to type, is noted and cancelled.
QStringList play(const std::function<void()>& command, const char* typed = nullptr) {
    QStringList seen;
    QSet<QWidget*> met;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || met.contains(modal))
            return;
        met.insert(modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text();
            QTimer::singleShot(0, box->button(QMessageBox::Ok), &QAbstractButton::click);
        } else if (typed) {
            control<QLineEdit>(*modal, "Edit1")->setText(typed);
            QTimer::singleShot(0, control<QPushButton>(*modal, "BitBtn1"), &QPushButton::click);
        } else {
            seen << "<name dialog>";
            QTimer::singleShot(0, control<QPushButton>(*modal, "BitBtn2"), &QPushButton::click);
        }
    });
    poll.start();
    command();
    return seen;
}

void writePicture(const fs::path& path, QColor color) {
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(color);
    ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "BMP"));
}

std::map<std::string, std::string> namesIn(const fs::path& folder) {
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        found[entry.path().filename().string()] = contentOf(entry.path());
    return found;
}

// Deletes and renames leave nothing selected, so that no command acts on a
// file the user never chose; read-only files stay; a conversion never
// writes over its own source.
TEST_F(FileOperationsTest, CommandsActOnlyOnWhatTheUserChoseAndLeaveReadOnlyFiles) {
    const Row rows[] = {
        {"delete, then delete again",
         {{Act::Click, "a.bmp"}, {Act::Delete}, {Act::Delete}},
         {},
         {{"c.bmp", "c.bmp"}, {"ro.bmp", "ro.bmp"}},
         {"c.bmp", "ro.bmp"},
         "",
         false},
        {"rename, then rename and delete with nothing chosen",
         {{Act::Click, "a.bmp"}, {Act::Rename, "b.bmp"}, {Act::Rename, "x.bmp"}, {Act::Delete}},
         {},
         {{"b.bmp", "a.bmp"}, {"c.bmp", "c.bmp"}, {"ro.bmp", "ro.bmp"}},
         {"b.bmp", "c.bmp", "ro.bmp"},
         "",
         false},
        {"delete a read-only file",
         {{Act::Click, "ro.bmp"}, {Act::Delete}},
         {"^Удаление не удалось$"},
         {{"a.bmp", "a.bmp"}, {"c.bmp", "c.bmp"}, {"ro.bmp", "ro.bmp"}},
         {"a.bmp", "c.bmp", "ro.bmp"},
         "ro.bmp",
         true},
        {"delete all beside a read-only file",
         {{Act::Click, "c.bmp"}, {Act::DeleteAll}},
         {"^Не удалось удалить:\nro\\.bmp$"},
         {{"ro.bmp", "ro.bmp"}},
         {"ro.bmp"},
         "",
         false},
        {"jpg on a picture named .jpg",
         {{Act::Click, "a.bmp"}, {Act::Rename, "a.jpg"}, {Act::Click, "a.jpg"}, {Act::Jpg}},
         {"[А-Яа-яЁё]"},
         {{"a.jpg", "a.bmp"}, {"c.bmp", "c.bmp"}, {"ro.bmp", "ro.bmp"}},
         {"a.jpg", "c.bmp", "ro.bmp"},
         "a.jpg",
         true},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path dir = root_.path() / ("row" + std::to_string(index++));
        fs::create_directory(dir);
        writePicture(dir / "a.bmp", Qt::red);
        writePicture(dir / "c.bmp", Qt::blue);
        writePicture(dir / "ro.bmp", Qt::green);
        fs::permissions(dir / "ro.bmp",
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const std::map<std::string, std::string> before = namesIn(dir);
        folders().setDirectory(dir.string());

        QStringList boxes;
        for (const Step& step : row.steps) {
            switch (step.act) {
            case Act::Click:
                test::clickListed(files(), step.name);
                break;
            case Act::Delete:
                boxes << play([&] { command("N4").trigger(); });
                break;
            case Act::Rename:
                boxes << play([&] { command("N3").trigger(); }, step.name);
                break;
            case Act::DeleteAll:
                boxes << play([&] { control<QPushButton>(*window_, "BitBtn3")->click(); });
                break;
            case Act::Jpg: {
                auto* jpg = control<QToolButton>(*window_, "SpeedButton1");
                ASSERT_TRUE(jpg->isVisible());
                boxes << play([&] { QTest::mouseClick(jpg, Qt::LeftButton); });
                break;
            }
            }
        }

        EXPECT_EQ(boxes.size(), std::ssize(row.boxes)) << boxes.join(" | ").toStdString();
        for (qsizetype i = 0; i < std::min<qsizetype>(boxes.size(), std::ssize(row.boxes)); ++i)
            EXPECT_TRUE(boxes[i].contains(QRegularExpression(row.boxes[i])))
                << boxes[i].toStdString();
        std::map<std::string, std::string> expected;
        for (const auto& [name, source] : row.onDisk)
            expected[name] = before.at(source);
        EXPECT_EQ(namesIn(dir), expected);
        EXPECT_EQ(textsIn(files()), row.listed);
        EXPECT_EQ(!files().selectedItems().isEmpty(), row.selection);
        EXPECT_EQ(window_->selectedFile(),
                  *row.previewed == '\0' ? std::string() : (dir / row.previewed).string());
        EXPECT_EQ(control<QFrame>(*window_, "Panel3")->isVisible(), *row.previewed != '\0');
    }
}

// A tmpfs of 64 KiB mounted for the object's life, or nothing where the
// test may not mount (not root).
class SmallVolume {
public:
    explicit SmallVolume(fs::path at) : at_(std::move(at)) {
        fs::create_directory(at_);
        mounted_ =
            ::geteuid() == 0 && ::mount("kadrix-test", at_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallVolume() {
        if (mounted_)
            ::umount2(at_.c_str(), MNT_DETACH);
    }
    SmallVolume(const SmallVolume&) = delete;
    SmallVolume& operator=(const SmallVolume&) = delete;
    bool mounted() const { return mounted_; }

private:
    fs::path at_;
    bool mounted_ = false;
};

TEST_F(FileOperationsTest, RenameOntoAnotherVolumeCopiesThenDeletesAndNeverReplaces) {
    const SmallVolume small(root_.path() / "small");
    if (!small.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    fs::permissions(at("a.bmp"), fs::perms::owner_read | fs::perms::group_read);
    test::writeFile((root_.path() / "small/taken.bmp").string(), "taken, kept as it is");
    test::writeFile(at("big.bmp"), std::string(200 * 1024, 'b'));
    files().reload();

    // The file arrives whole, with its permissions; the source goes.
    select(files(), "a.bmp");
    EXPECT_EQ(play([&] { command("N3").trigger(); }, "../small/a.bmp"), QStringList());
    EXPECT_EQ(contentOf(root_.path() / "small/a.bmp"), "picture a");
    EXPECT_EQ(fs::status(root_.path() / "small/a.bmp").permissions(),
              fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(fs::exists(at("a.bmp")));

    // A taken name there is not replaced; a file too large for the volume
    // leaves no part of itself there. Both sources stay.
    for (const auto& [from, typed] :
         {std::pair{"c.bmp", "../small/taken.bmp"}, std::pair{"big.bmp", "../small/big.bmp"}}) {
        select(files(), from);
        EXPECT_EQ(play([&] { command("N3").trigger(); }, typed),
                  QStringList({"Переименовать не удалось"}))
            << typed;
    }
    EXPECT_EQ(contentOf(at("c.bmp")), "picture c, kept as it is");
    EXPECT_EQ(contentOf(root_.path() / "small/taken.bmp"), "taken, kept as it is");
    EXPECT_EQ(fs::file_size(at("big.bmp")), 200u * 1024);
    EXPECT_FALSE(fs::exists(root_.path() / "small/big.bmp"));
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
    // The export items show in the "avi" mode only.
    for (QAction* action : menu->actions())
        EXPECT_EQ(action->isEnabled(), action->isVisible()) << action->text().toStdString();
    menu->close();
}

} // namespace
} // namespace kadrix
