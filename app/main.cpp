// Program entry. The command line is not read.
#include "app/UnitMain.h"
#include "app/kadrix_application.h"
#include "platform/media_services.h"
#include "platform/platform_services.h"

#include <QStandardPaths>

int main(int argc, char** argv) {
    kadrix::KadrixApplication app(argc, argv);
    const kadrix::TMain::LockFolders lockFolders{
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)};
    kadrix::TMain window(lockFolders);
    if (window.alreadyRunning()) {
        // A second copy says so once and ends without showing its window.
        window.reportAlreadyRunning();
        return 0;
    }
    window.setPlatformServices(kadrix::choosePlatformServices());
    window.setSoundRecorder(kadrix::createSoundRecorder());
    window.centreOnScreen();
    window.show();
    return app.exec();
}
