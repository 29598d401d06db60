// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/click_filter.h"
#include "app/clip_export_job.h"
#include "app/frame_title_strip.h"
#include "app/see_through.h"
#include "browser/directory_list_box.h"
#include "browser/drive_combo_box.h"
#include "browser/file_list_box.h"
#include "browser/name_dialog.h"
#include "capture/clip_recording.h"
#include "capture/sound_recording.h"
#include "platform/mail_composer.h"
#include "platform/screen_grabber.h"
#include "platform/sound_player.h"
#include "platform/sound_recorder.h"
#include "platform/tray_icon.h"
#include "platform/url_opener.h"
#include "ui/error_report.h"
#include "ui/handler.h"
#include "ui/picture_box.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

// The pictures live in a static library: their registration must be asked
// for, from outside any namespace.
static void initKadrixResources() {
    Q_INIT_RESOURCE(kadrix);
}

namespace kadrix {

namespace {

// The capture frame's own border, wide enough to take hold of for resizing.
constexpr int frameBorder = 4;

Qt::Edges edgesAt(const QRect& rect, const QPoint& at) {
    Qt::Edges edges;
    if (at.x() < frameBorder)
        edges |= Qt::LeftEdge;
    if (at.x() >= rect.width() - frameBorder)
        edges |= Qt::RightEdge;
    if (at.y() < frameBorder)
        edges |= Qt::TopEdge;
    if (at.y() >= rect.height() - frameBorder)
        edges |= Qt::BottomEdge;
    return edges;
}

Qt::CursorShape cursorFor(Qt::Edges edges) {
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    if (edges & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    if (edges & (Qt::TopEdge | Qt::BottomEdge))
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

} // namespace

TMain::TMain(Services services, const QString& runtimeDir, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    initKadrixResources();
    setObjectName("TMain");
    setWindowTitle("Kadrix");
    // The window's kind is settled before it has controls: changing it later
    // makes Qt go over every control again, some milliseconds at start.
    setWindowFlags(borderFlags(true, false));
    createControls();
    seeThrough_ = new SeeThrough(this, *services_.windows);
    setBorderIcons(true, false);
    setFixedSize(clientWidth, clientHeight);
    placePanel();
    openStartFolder();
    connectHandlers();
    connectTrayIcon();
    FormCreate(runtimeDir);
}

void TMain::openStartFolder() {
    // The browser starts in the working directory, taken as the file
    // system's bytes (its name need not be valid UTF-8); where that cannot be
    // read, in the user's home.
    try {
        DirectoryListBox1->setDirectory(".");
    } catch (const std::exception& error) {
        showErrorReport(QString::fromStdString(error.what()));
        DirectoryListBox1->setDirectory(QFile::encodeName(QDir::homePath()).toStdString());
    }
    DriveComboBox1->selectVolumeOf(DirectoryListBox1->directory());
}

void TMain::connectHandlers() {
    connectHandler(BitBtn1, &QPushButton::clicked, this, &TMain::BitBtn1Click);
    connectHandler(BitBtn2, &QPushButton::clicked, this, &TMain::BitBtn2Click);
    connectHandler(RadioButton1, &QRadioButton::toggled, this, &TMain::RadioButton1Click);
    connectHandler(RadioButton2, &QRadioButton::toggled, this, &TMain::RadioButton2Click);
    connectHandler(RadioButton3, &QRadioButton::toggled, this, &TMain::RadioButton3Click);
    connectHandler(RadioButton4, &QRadioButton::toggled, this, &TMain::RadioButton4Click);
    connectHandler(DirectoryListBox1, &DirectoryListBox::directoryChanged, this,
                   &TMain::DirectoryListBox1Change);
    connectHandler(DriveComboBox1, &DriveComboBox::driveChanged, this,
                   &TMain::DriveComboBox1Change);
    // The browser's widgets tell their errors; the window shows them.
    connect(DirectoryListBox1, &DirectoryListBox::errorOccurred, this,
            [](const QString& text) { showErrorReport(text); });
    connect(DriveComboBox1, &DriveComboBox::errorOccurred, this,
            [](const QString& text) { showErrorReport(text); });
    connectHandler(N1, &QAction::triggered, this, &TMain::N1Click);
    connectHandler(N2, &QAction::triggered, this, &TMain::N2Click);
    connectHandler(N3, &QAction::triggered, this, &TMain::N3Click);
    connectHandler(N4, &QAction::triggered, this, &TMain::N4Click);
    connectHandler(N5, &QAction::triggered, this, &TMain::N5Click);
    connectHandler(N6, &QAction::triggered, this, &TMain::N6Click);
    connectHandler(N7, &QAction::triggered, this, &TMain::N7Click);
    connectHandler(N8, &QAction::triggered, this, &TMain::N8Click);
    connectHandler(N9, &QAction::triggered, this, &TMain::N9Click);
    connectHandler(N10, &QAction::triggered, this, &TMain::N10Click);
    connectHandler(BitBtn3, &QPushButton::clicked, this, &TMain::BitBtn3Click);
    connectHandler(new ClickFilter(Label1), &ClickFilter::clicked, this, &TMain::Label1Click);
    connectHandler(Timer1, &QTimer::timeout, this, &TMain::Timer1Timer);
    connectHandler(Timer2, &QTimer::timeout, this, &TMain::Timer2Timer);
    connectHandler(FileListBox1, &FileListBox::entryClicked, this, &TMain::FileListBox1Click);
    connectHandler(FileListBox1, &FileListBox::entryOpened, this, &TMain::FileListBox1DblClick);
    connectHandler(Image1, &PictureBox::doubleClicked, this, &TMain::Image1DblClick);
    connectHandler(SpeedButton1, &QToolButton::clicked, this, &TMain::SpeedButton1Click);
    connectHandler(SpeedButton2, &QToolButton::clicked, this, &TMain::SpeedButton2Click);
    connectHandler(SpeedButton3, &QToolButton::clicked, this, &TMain::SpeedButton3Click);
    connectHandler(Timer3, &QTimer::timeout, this, &TMain::Timer3Timer);
    connectHandler(Timer4, &QTimer::timeout, this, &TMain::Timer4Timer);
}

TMain::~TMain() = default;

void TMain::FormCreate(const QString& runtimeDir) {
    refreshNextName();
    InstanceLockResult result = takeInstanceLock(runtimeDir.toStdString());
    alreadyRunning_ = result.alreadyRunning;
    lock_ = std::move(result.lock);
    if (!alreadyRunning_ && !lock_.held())
        showErrorReport(QString::fromStdString(result.error));
    listenForShowRequests(runtimeDir);
}

void TMain::FormActivate() {
    setWindowTitle("Kadrix");
    if (firstShow_) {
        firstShow_ = false;
        hideIntoTray(false);
    }
}

void TMain::N1Click() {
    finishRecordingsNow();
    Ic(IconAction::Delete);
    lock_.deleteAndRelease();
    exiting_ = true;
    close();
    // The window may have been hidden, and message boxes come and go while
    // it is: the program ends here, not when its last window closes.
    QCoreApplication::quit();
}

void TMain::sessionEnds() {
    const QScopedValueRollback quiet(reportsToErrorOutput_, true);
    finishRecordingsNow();
}

void TMain::finishRecordingsNow() {
    if (recording()) {
        finishRecording();
        // The program ends: its frame files go first.
        clipRecording_.reset();
    }
    finishSoundRecording(SoundStop::Now);
}

void TMain::reportOnRecording(const QString& text, bool error) {
    if (reportsToErrorOutput_)
        qWarning().noquote() << text;
    else if (error)
        showErrorReport(text);
    else
        showMessage(text);
}

void TMain::centreOnScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.center() - rect().center());
}

void TMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QWidget::changeEvent(event);
}

void TMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placePanel();
    FormResize();
}

void TMain::placePanel() {
    if (titleStrip_->isVisible()) {
        titleStrip_->setGeometry(frameBorder, frameBorder, width() - 2 * frameBorder,
                                 FrameTitleStrip::stripHeight);
        Panel1->setGeometry(frameBorder, frameBorder + FrameTitleStrip::stripHeight,
                            width() - 2 * frameBorder,
                            height() - 2 * frameBorder - FrameTitleStrip::stripHeight);
    } else {
        Panel1->setGeometry(rect());
    }
}

void TMain::paintEvent(QPaintEvent*) {
    if (!titleStrip_->isVisible())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(64, 64, 64));
}

void TMain::mousePressEvent(QMouseEvent* event) {
    const Qt::Edges edges = edgesAt(rect(), event->position().toPoint());
    if (titleStrip_->isVisible() && !isMaximized() && edges && event->button() == Qt::LeftButton &&
        windowHandle())
        windowHandle()->startSystemResize(edges);
    QWidget::mousePressEvent(event);
}

void TMain::mouseMoveEvent(QMouseEvent* event) {
    if (titleStrip_->isVisible() && !isMaximized())
        setCursor(cursorFor(edgesAt(rect(), event->position().toPoint())));
    QWidget::mouseMoveEvent(event);
}

void TMain::setBorderIcons(bool systemMenu, bool maximiseBox) {
    systemMenu_ = systemMenu;
    maximiseBox_ = maximiseBox;
    titleStrip_->setBorderIcons(systemMenu, maximiseBox);
    if (titleStrip_->isVisible())
        return;
    const Qt::WindowFlags flags = borderFlags(systemMenu, maximiseBox);
    if (windowHandle()) {
        // Changed in place: setWindowFlags() would unmap and map the window.
        overrideWindowFlags(flags);
        windowHandle()->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

Qt::WindowFlags TMain::borderFlags(bool systemMenu, bool maximiseBox) const {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (systemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    // Without a notification area the close box minimises, which the window
    // manager allows only to a window with a minimise box.
    if (systemMenu && !services_.tray->available())
        flags |= Qt::WindowMinimizeButtonHint;
    if (maximiseBox)
        flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

void TMain::setFrameless(bool frameless) {
    titleStrip_->setVisible(frameless);
    setMouseTracking(frameless);
    if (frameless) {
        const Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
        if (windowHandle()) {
            overrideWindowFlags(flags);
            windowHandle()->setFlags(flags);
        } else {
            setWindowFlags(flags);
        }
    } else {
        unsetCursor();
    }
    placePanel();
}

} // namespace kadrix
