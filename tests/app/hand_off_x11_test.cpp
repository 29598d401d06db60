// SPDX-License-Identifier: GPL-3.0-or-later
// What the window hands to other programs: the help page to the browser and
// a file to the mail composer, through the desktop's own tools (xdg-open,
// xdg-email) with fakes of the programs at the far end on PATH.
#include "app/help_page.h"
#include "app/main_window.h"
#include "browser/file_list_box.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/listed_file.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::control;
using test::TempDir;

// Sets an environment variable for the object's life.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnv() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// Runs an outside program while this one goes on answering X requests (the
// clipboard is served from here); returns what it wrote.
QByteArray outputOf(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    test::waitFor([&] { return process.state() == QProcess::NotRunning; });
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

class HandOffTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(folder_.path("Pic000001.bmp"), "picture");
        fs::create_directory(fakes_.path() / "bin");
        reopen(test::testServices());
    }

    // The window made afresh with services; chooseServices() reads the
    // desktop's tools from the environment of the moment.
    void reopen(Services services) {
        window_.reset();
        window_ = std::make_unique<TMain>(std::move(services), lock_.folders());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    // A program on the fake PATH that writes its arguments, each followed by
    // a NUL, to <name>.args and ends with exitCode.
    std::string fakeProgram(const std::string& name, int exitCode,
                            const std::string& complaint = "") {
        const std::string path = fakes_.path("bin/" + name);
        const std::string out = fakes_.path(name + ".args");
        std::ofstream(path) << "#!/bin/sh\n"
                            << "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" << out
                            << ".part'\nmv '" << out << ".part' '" << out << "'\n"
                            << (complaint.empty() ? "" : "echo '" + complaint + "' >&2\n")
                            << "exit " << exitCode << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return out;
    }
    QByteArray fakePath(bool withSystem = true) const {
        return QByteArray::fromStdString(fakes_.path("bin")) + (withSystem ? ":/usr/bin:/bin" : "");
    }
    // A click on the help label with no desktop and no browser of the
    // system's: xdg-open, which takes the environment as it starts, falls
    // back to the x-www-browser on the fake PATH.
    void clickHelpWithFakeBrowser() {
        ScopedEnv path("PATH", fakePath());
        ScopedEnv browser("BROWSER", QByteArray());
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", QByteArray());
        ScopedEnv dataHome("XDG_DATA_HOME", QByteArray::fromStdString(fakes_.str()));
        ScopedEnv dataDirs("XDG_DATA_DIRS", QByteArray::fromStdString(fakes_.str()));
        ScopedEnv configHome("XDG_CONFIG_HOME", QByteArray::fromStdString(fakes_.str()));
        reopen(chooseServices());
        auto* help = control<QLabel>(*window_, "Label1");
        QTest::mouseClick(help, Qt::LeftButton, {}, help->rect().center());
    }
    std::vector<std::string> argumentsIn(const std::string& path) const {
        std::vector<std::string> arguments;
        std::istringstream in(test::readText(path));
        for (std::string argument; std::getline(in, argument, '\0');)
            arguments.push_back(argument);
        return arguments;
    }

    TempDir folder_{"kadrix-mail"};
    test::WorkingFolder working_{folder_.str()};
    TempDir fakes_{"kadrix-fakes"};
    test::LockFolders lock_;
    std::unique_ptr<TMain> window_;
};

TEST_F(HandOffTest, HelpOpensThePageInTheBrowserThroughXdgOpen) {
    const std::string received = fakeProgram("x-www-browser", 0);
    clickHelpWithFakeBrowser();
    ASSERT_TRUE(test::waitFor([&] { return fs::exists(received); }, 20000));
    const std::string page = KADRIX_SOURCE_DIR "/resources/help/index.html";
    EXPECT_EQ(argumentsIn(received),
              std::vector<std::string>({QUrl::fromLocalFile(QString::fromStdString(page))
                                            .toString(QUrl::FullyEncoded)
                                            .toStdString()}));
}

TEST_F(HandOffTest, QuittingWhileTheBrowserRunsReportsNothing) {
    // xdg-open waits for a browser that stays open, as it does for some.
    const std::string received = fakes_.path("x-www-browser.args");
    const std::string browser = fakes_.path("bin/x-www-browser");
    std::ofstream(browser) << "#!/bin/sh\ntouch '" << received << "'\nexec sleep 20\n";
    fs::permissions(browser, fs::perms::owner_all);
    clickHelpWithFakeBrowser();
    ASSERT_TRUE(test::waitFor([&] { return fs::exists(received); }, 20000));

    const std::vector<test::SeenMessageBox> reports =
        test::answerEveryMessageBox([&] { window_.reset(); });
    EXPECT_TRUE(reports.empty()) << reports.front().text.toStdString();
}

TEST_F(HandOffTest, AHelpPageThatCannotBeOpenedIsReportedInTheUsersWords) {
    // xdg-open runs, finds no browser and says so by its exit status only.
    fakeProgram("xdg-open", 3);
    {
        ScopedEnv path("PATH", fakePath());
        reopen(chooseServices());
    }
    auto* help = control<QLabel>(*window_, "Label1");
    const QString page = KADRIX_SOURCE_DIR "/resources/help/index.html";
    const auto seen = test::answerMessageBox(
        [&] { QTest::mouseClick(help, Qt::LeftButton, {}, help->rect().center()); });
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.text.toStdString(),
              ("Нельзя открыть страницу <" + page +
               ">: не найдена программа, которая её откроет (в системе не выбран браузер)")
                  .toStdString());

    // No xdg-open at all.
    fs::remove(fakes_.path("bin/xdg-open"));
    {
        ScopedEnv path("PATH", fakePath(false));
        reopen(chooseServices());
    }
    help = control<QLabel>(*window_, "Label1");
    const auto missing = test::answerMessageBox(
        [&] { QTest::mouseClick(help, Qt::LeftButton, {}, help->rect().center()); });
    EXPECT_EQ(missing.text.toStdString(), ("Нельзя открыть страницу <" + page +
                                           ">: не установлена программа xdg-open (пакет xdg-utils)")
                                              .toStdString());
}

TEST_F(HandOffTest, TheInstalledHelpPageComesBeforeTheSourceCopy) {
    TempDir prefix("kadrix-prefix");
    const QString bin = QString::fromStdString(prefix.path("bin"));
    const QString installed = QString::fromStdString(prefix.path("share/kadrix/help/index.html"));
    EXPECT_EQ(helpPagePath(bin), KADRIX_SOURCE_DIR "/resources/help/index.html");
    fs::create_directories(prefix.path("share/kadrix/help"));
    fs::create_directory(prefix.path("bin"));
    test::writeFile(installed.toStdString(), "<html></html>");
    EXPECT_EQ(helpPagePath(bin), installed);
}

TEST_F(HandOffTest, MailHandsTheSelectedFileToXdgEmailAsAnArgumentList) {
    const std::string received = fakeProgram("xdg-email", 0);
    ScopedEnv path("PATH", fakePath());
    reopen(chooseServices());
    control<FileListBox>(*window_, "FileListBox1")->setCurrentRow(0);

    control<QAction>(*window_, "N2")->trigger();
    ASSERT_TRUE(test::waitFor([&] { return fs::exists(received); }));
    EXPECT_EQ(argumentsIn(received),
              std::vector<std::string>({"--subject", "тема", "--body", "текст", "--attach",
                                        folder_.path("Pic000001.bmp"), "adresat@example.com"}));
    // A composer that opened gets no report.
    EXPECT_FALSE(test::waitFor([] { return QApplication::activeModalWidget() != nullptr; }, 500));
}

TEST_F(HandOffTest, AComposerThatCannotOpenIsReportedInTheUsersWords) {
    fakeProgram("xdg-email", 3, "xdg-email: no method available for opening 'mailto:'");
    {
        ScopedEnv path("PATH", fakePath());
        reopen(chooseServices());
    }
    control<FileListBox>(*window_, "FileListBox1")->setCurrentRow(0);
    const auto seen = test::answerMessageBox([&] { control<QAction>(*window_, "N2")->trigger(); });
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.text.toStdString(),
              "Нельзя передать файл почтовой программе: не найдена почтовая программа "
              "(в системе не выбрана программа для писем)");

    // No xdg-email at all.
    fs::remove(fakes_.path("bin/xdg-email"));
    {
        ScopedEnv path("PATH", fakePath(false));
        reopen(chooseServices());
    }
    control<FileListBox>(*window_, "FileListBox1")->setCurrentRow(0);
    const auto missing =
        test::answerMessageBox([&] { control<QAction>(*window_, "N2")->trigger(); });
    EXPECT_EQ(missing.text.toStdString(),
              "Нельзя передать файл почтовой программе: не установлена программа "
              "xdg-email (пакет xdg-utils)");
}

TEST_F(HandOffTest, CopyPutsThePreviewedPictureOnTheClipboardAtFullSize) {
    // Larger than the preview box, so that the preview shows it scaled; a
    // corner in another colour catches a flipped or scaled copy.
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            picture.setPixelColor(x, y, QColor(255, 0, 0));
    ASSERT_TRUE(picture.save(QString::fromStdString(folder_.path("Pic000002.bmp")), "BMP"));
    auto& files = *control<FileListBox>(*window_, "FileListBox1");
    files.reload();
    auto* copy = control<QAction>(*window_, "N5");

    // Nothing previewed yet: the clipboard keeps what it holds.
    const QString kept = "kept " + QString::number(QCoreApplication::applicationPid());
    outputOf("sh", {"-c", "printf '" + kept + "' | xclip -selection clipboard -i"});
    copy->trigger();
    EXPECT_EQ(outputOf("xclip", {"-selection", "clipboard", "-o"}), kept.toUtf8());

    test::clickListed(files, "Pic000002.bmp");
    copy->trigger();
    const QByteArray targets =
        outputOf("xclip", {"-selection", "clipboard", "-t", "TARGETS", "-o"});
    EXPECT_TRUE(targets.contains("image/png")) << targets.toStdString();
    EXPECT_TRUE(targets.contains("image/bmp")) << targets.toStdString();

    // Pillow (the system interpreter's python3-pil) reads back what another
    // program pastes.
    const std::string pasted = fakes_.path("pasted.png");
    outputOf("sh", {"-c", "xclip -selection clipboard -t image/png -o > '" +
                              QString::fromStdString(pasted) + "'"});
    const QByteArray seen =
        outputOf("/usr/bin/python3",
                 {"-c",
                  "import sys; from PIL import Image; i = Image.open(sys.argv[1]); "
                  "print(i.format, i.size[0], i.size[1], i.convert('RGB').getpixel((19, 9)), "
                  "i.convert('RGB').getpixel((20, 10)))",
                  QString::fromStdString(pasted)});
    EXPECT_EQ(seen.trimmed().toStdString(), "PNG 300 200 (255, 0, 0) (0, 0, 255)");
}

} // namespace
} // namespace kadrix
