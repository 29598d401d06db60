// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry.
#include "app/application_icon.h"
#include "app/command_line.h"
#include "app/kadrix_application.h"
#include "app/main_window.h"
#include "app/services.h"
#include "platform/display_session.h"
#include "platform/end_signals.h"
#include "platform/font_preload.h"
#include "ui/error_report.h"
#include "ui/handler.h"

#include <QStandardPaths>
#include <QTimer>
// Messages go out through stdio: the iostreams' set-up at start would build
// the C++ locale, some 0.2 MB, for two lines that seldom print.
#include <cstdio>
#include <optional>
#include <span>
#include <utility>

int main(int argc, char** argv) {
    const std::span<char* const> command(argv, static_cast<std::size_t>(argc));
    // argv[0], the program's name, where the caller gave one.
    const auto arguments = command.empty() ? command : command.subspan(1);
    if (const std::optional<int> status = kadrix::answerCommandLine(arguments, stdout, stderr))
        return *status;
    const kadrix::FontConfigurationPreload fonts;
    // Chosen before the application exists: it connects to its display at once.
    const kadrix::DisplayChoice display =
        kadrix::chooseDisplay(kadrix::currentSessionEnvironment());
    std::string notice(kadrix::displayNotice(display));
    if (display == kadrix::DisplayChoice::NoXServer) {
        // There is no display to show a message on.
        std::fprintf(stderr, "kadrix: %s\n", notice.c_str());
        return 1;
    }
    kadrix::applyDisplayChoice(display);

    kadrix::KadrixApplication app(argc, argv);
    // The window hides into the notification area, and message boxes may come
    // and go while it is hidden: only the exit command ends the program.
    app.setQuitOnLastWindowClosed(false);
    // Each look at the icon's files costs some milliseconds; made when needed.
    const auto icon = [] {
        return kadrix::applicationIcon(kadrix::installedShareFolder());
    };
    kadrix::Services services = kadrix::chooseServices(icon);
    if (notice.empty())
        notice = services.notice;
    // $XDG_RUNTIME_DIR; where it is not set, Qt makes /tmp/runtime-<user>,
    // mode 0700, and takes none that another user owns.
    kadrix::TMain window(std::move(services),
                         QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    if (window.alreadyRunning()) {
        // A second copy says so once and ends without showing its window.
        window.reportAlreadyRunning();
        return 0;
    }
    // The end of the desktop session, of the terminal, or Ctrl+C: the
    // program ends as through "Выход", a recording finished first.
    const kadrix::EndSignals endSignals;
    QObject::connect(&endSignals, &kadrix::EndSignals::requested, &window, [&window] {
        kadrix::runHandler([&window] {
            window.sessionEnds();
            window.N1Click();
        });
    });
    // A session manager may end the program without a signal: what is being
    // recorded is written when it asks for the program's data, and before
    // the event loop ends however it ends.
    const auto finishRecordings = [&window] {
        kadrix::runHandler([&window] { window.sessionEnds(); });
    };
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, finishRecordings);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, finishRecordings);
    window.centreOnScreen();
    window.show();
    kadrix::setWindowIconWhenExposed(window, icon);
    if (!notice.empty()) {
        std::fprintf(stderr, "kadrix: %s\n", notice.c_str());
        QTimer::singleShot(0, &window, [&window, &notice] {
            kadrix::showMessage(QString::fromStdString(notice), &window);
        });
    }
    return app.exec();
}
