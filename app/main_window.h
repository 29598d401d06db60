// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/services.h"
#include "browser/name_dialog_fields.h"
#include "core/naming/output_counters.h"
#include "platform/instance_lock.h"
#include "platform/screen_grabber.h"
#include "platform/show_request.h"
#include "platform/sound_recorder.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSocketNotifier;
class QSpinBox;
class QTimer;
class QToolButton;

namespace kadrix {

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class ClipExportJob;
struct ClipExportOutcome;
enum class ShareFormat;
class FrameTitleStrip;
class SoundPlayer;
class SoundRecorder;
class SoundRecording;
class ClipRecording;
class MediaPlayerBar;
class PictureBox;
class SeeThrough;
class TrayIcon;
class TRenameFileX;
class TVid;

// The main window. In the options layout it is a fixed-size window with the
// file browser; in the capture-frame layout a sizeable see-through frame
// whose maroon parts show the screen beneath. Its event handlers live in
// main_window_*.cpp, a file per feature.
class TMain : public QWidget {
    Q_OBJECT

public:
    // services: the platform's, from the composition root (or a test's
    // fakes). runtimeDir: the user's private runtime folder, which holds the
    // lock file and the socket a second copy asks to show the window through.
    // Without a notification-area icon among the services the window behaves
    // as where the desktop has none: it stays shown, and its close box
    // minimises it.
    TMain(Services services, const QString& runtimeDir, QWidget* parent = nullptr);
    ~TMain() override;

    bool alreadyRunning() const { return alreadyRunning_; }
    bool holdsLock() const { return lock_.held(); }
    // A second copy asks the running copy to show its window, then shows
    // "Программа уже запущена!".
    void reportAlreadyRunning();

    // What the capture button makes and which files the list shows: one mode
    // button each ("bmp", "avi", "wav", "все").
    enum class Mode { Pictures, Clips, Sounds, AllFiles };
    // The options layout with the browser, or the see-through capture frame.
    enum class Layout { Options, CaptureFrame };
    Mode mode() const { return mode_; }
    Layout layout() const { return layout_; }
    bool inCaptureFrame() const { return layout_ == Layout::CaptureFrame; }
    // Places the window in the middle of the screen, as it first shows.
    void centreOnScreen();
    // The folder the browser shows, as the file system's bytes; output files
    // are written there.
    const std::string& currentFolder() const;

    // Handlers.
    void FormActivate();
    void FormResize();
    void BitBtn1Click();
    void BitBtn2Click();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void DirectoryListBox1Change();
    void DriveComboBox1Change();
    void Timer1Timer();
    void Timer2Timer();
    void FileListBox1Click();
    void FileListBox1DblClick();
    void Image1DblClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    // Writes the metafile of the BMP file at path beside it.
    void bmp2emf(const std::string& path);
    // The full path of the file last clicked in the list in bmp, avi or wav
    // mode, as the file system spells it; empty before the first click.
    const std::string& selectedFile() const { return SelectedFile; }
    void Timer3Timer();
    void Timer4Timer();
    // The full paths of the frame files that the recording wrote to the
    // current folder, in order, as the file system's bytes.
    std::vector<std::string> FillList() const;
    bool recording() const;
    bool soundRecording() const;
    void N1Click();
    // Ends a clip or sound recording at once, with what it has recorded so
    // far: its clip or sound is written as at its end. The program's end
    // never loses a recording.
    void finishRecordingsNow();
    // The desktop session ends, or the system asks the program to end: a
    // recording is finished as by finishRecordingsNow(), and what its end has
    // to say goes to the error output, not into message boxes that no one
    // may answer.
    void sessionEnds();
    void N2Click();
    void N3Click();
    void N4Click();
    void N5Click();
    void N6Click();
    void N7Click();
    // "Сохранить как MP4", "… WebM", "… GIF" in the "avi" mode: the selected
    // clip exported beside it while the window goes on.
    void N8Click();
    void N9Click();
    void N10Click();
    void BitBtn3Click();
    void Label1Click();

    // The notification-area icon.
    enum class IconAction { Add = 1, Delete = 2 };
    void Ic(IconAction action);
    // A left click or double click on the icon: the window comes back.
    void TrayIconClick();

    // The next output name of each kind, and the refresh of Edit1 for the
    // current mode.
    const OutputCounters& counters() const { return counters_; }
    // The number of the recording's next frame; 1 between recordings.
    std::int32_t frameCounter() const;
    void refreshNextName();
    // Output paths are the file system's bytes, never Edit1's text: a folder
    // name need not be valid UTF-8.
    std::string outputPathFor(OutputKind kind) const;

    // The window's own title strip and border in the capture-frame layout.
    FrameTitleStrip* titleStrip() const { return titleStrip_; }

    // The options layout's fixed client size.
    static constexpr int clientWidth = 556;
    static constexpr int clientHeight = 390;

protected:
    void changeEvent(QEvent* event) override;
    // The close command hides the window into the notification area.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Controls, named as the window's code knows them; their object names are
    // the same, and that is how tests find them.
    QFrame* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QLabel* Image2 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    DriveComboBox* DriveComboBox1 = nullptr;
    DirectoryListBox* DirectoryListBox1 = nullptr;
    FileListBox* FileListBox1 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    PictureBox* Image1 = nullptr;
    QFrame* Panel2 = nullptr;
    MediaPlayerBar* MediaPlayer1 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* Label5 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Panel4 = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenu3 = nullptr;
    QMenu* PopupMenu4 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QAction* N6 = nullptr;
    QAction* N7 = nullptr;
    QAction* N8 = nullptr;
    QAction* N9 = nullptr;
    QAction* N10 = nullptr;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;

    // What a mode shows and allows.
    struct ModeLook;
    static const ModeLook& lookOf(Mode mode);

    void FormCreate(const QString& runtimeDir);
    void createControls();
    void createMenusAndTimers();
    void connectHandlers();
    void openStartFolder();
    void listenForShowRequests(const QString& runtimeDir);
    // The first-activation step and the close command; the close command
    // minimises where no notification area could bring the window back.
    void hideIntoTray(bool minimiseWithoutTray);
    void TrayAvailabilityChange(bool available);

    void connectTrayIcon();
    // Border icons: the system menu (with its close box) and the maximise box.
    void setBorderIcons(bool systemMenu, bool maximiseBox);
    Qt::WindowFlags borderFlags(bool systemMenu, bool maximiseBox) const;
    bool systemMenu_ = true;
    bool maximiseBox_ = false;
    void setFrameless(bool frameless);
    void placePanel();
    void takeSnapshot();
    void startClipRecording();
    // The stop step of a clip recording, with its reports.
    void finishRecording();
    void previewPicture(const std::string& path);
    void checkSound(const std::string& path);
    void openClip(const std::string& path);
    void playSound(const std::string& path);
    // After a file's entry was deleted or renamed: a preview of that file is
    // emptied, so that no command acts on a name that is gone.
    void forgetPreviewOf(const std::string& entry);
    // The name dialog of rename and new folder, made on first use.
    TRenameFileX& renameDialog();
    // The viewer window, made on first use so that it costs the start
    // nothing, and kept for the rest of the run.
    TVid& viewer();
    // The avi branch of the list's double click: the clip moves from the
    // preview's player to the viewer's.
    void openClipInViewer(const std::string& path);
    // Closes the viewer's clip before the preview's player opens one.
    void closeViewerClip();
    void startSoundRecording();
    // The sound stop step, at the recording's end or at once.
    void finishSoundRecording(SoundStop when);
    // A recording's report: a message box, or the error output where the
    // desktop session is ending and no one may answer a box.
    void reportOnRecording(const QString& text, bool error);
    void restoreAfterRecording();
    // The start of a timed recording: SpinEdit1's seconds on the stop timer,
    // the progress bar counting the step timer's ticks up to them, the
    // controls and border icons off until enableAfterRecording.
    void disableForRecording(QTimer& stopTimer, const QTimer& stepTimer);
    // The controls and border icons back as they were before a recording,
    // the progress bar hidden.
    void enableAfterRecording();
    // Shows a status text in the caption for a moment in which no input is
    // taken, then puts the caption back.
    void flashCaption(const QString& status, int milliseconds);
    // The export of the selected clip: refused while one runs; its progress
    // on ProgressBar1 unless a recording has the bar; its end reported.
    void exportSelectedClip(ShareFormat format);
    void showExportProgress(std::size_t done, std::size_t total);
    void exportFinished(const ClipExportOutcome& outcome);
    // Reads the current folder afresh into both lists.
    void reloadFolder();
    // The current folder could not be read (it has gone, say): reported once,
    // then the browser moves to the nearest folder above it that exists.
    void leaveVanishedFolder(const std::exception& error);
    // Edit1 shows an output path; it is not where the path is kept.
    void showNextName(const std::string& path);
    // What a mode button sets: the list's mask, the capture button, the
    // preview controls.
    void setMode(Mode mode);

    Mode mode_ = Mode::Pictures;
    Layout layout_ = Layout::Options;
    OutputCounters counters_;
    bool firstShow_ = true;
    std::string SelectedFile;
    TVid* viewer_ = nullptr;
    bool alreadyRunning_ = false;
    bool hiddenForRecording_ = false;
    InstanceLock lock_;
    std::string showRequestPath_;
    ShowRequestListener showRequests_;
    QSocketNotifier* showRequestNotifier_ = nullptr;
    // Set by the exit command, the one close that really closes.
    bool exiting_ = false;
    // While the session ends: reports go to the error output.
    bool reportsToErrorOutput_ = false;
    // The window was asked to come back while hidden for a recording of the
    // whole screen; it comes back at the recording's end.
    bool showAfterRecording_ = false;
    QString savedCaption_;
    int progressStep_ = 0;
    Services services_;

    // The name dialog and what it is to do.
    NameDialogFields nameDialog_;
    std::unique_ptr<TRenameFileX> RenameFileX;
    // The clip being exported; ended, and its temporary file removed, when
    // the window goes.
    std::unique_ptr<ClipExportJob> clipExport_;
    // The recordings use the services above, so they go first.
    // The clip recording under way, or the last one while its frame files
    // are deleted.
    std::unique_ptr<ClipRecording> clipRecording_;
    std::unique_ptr<SoundRecording> soundRecording_; // while one runs

    QPoint decorationOffset_;
    FrameTitleStrip* titleStrip_ = nullptr;
    SeeThrough* seeThrough_ = nullptr;
};

} // namespace kadrix
