#pragma once

#include "capture/output_name.h"
#include "platform/instance_lock.h"
#include "platform/platform_services.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class QToolButton;

namespace kadrix {

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class FrameTitleStrip;
class SoundRecorder;
class MediaPlayerBar;
class PictureBox;
class SeeThrough;
class TVid;

// The main window. In the options layout it is a fixed-size window with the
// file browser; in the capture-frame layout a sizeable see-through frame
// whose maroon parts show the screen beneath. Its event handlers live in the
// folders of the subsystems they belong to.
class TMain : public QWidget {
    Q_OBJECT

public:
    // Where the lock file may live: the program's own folder, and the user's
    // runtime folder for a program installed where it cannot write.
    struct LockFolders {
        QString programDir;
        QString runtimeDir;
    };

    explicit TMain(const LockFolders& lockFolders, QWidget* parent = nullptr);
    ~TMain() override;

    bool alreadyRunning() const { return alreadyRunning_; }
    bool holdsLock() const { return lock_.held(); }
    // Shows "Программа уже запущена!" for a second copy.
    void reportAlreadyRunning();

    // Whether the window is the see-through capture frame rather than the
    // options layout.
    bool inCaptureFrame() const;
    // The platform's screen grab and window service, picked once at start.
    void setPlatformServices(PlatformServices services);
    // The screen grab behind the capture button; a test's fake, say.
    void setScreenGrabber(std::unique_ptr<ScreenGrabber> grabber);
    // The sound input behind the capture button in the "wav" mode; none
    // until one is set.
    void setSoundRecorder(std::unique_ptr<SoundRecorder> recorder);
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
    // Writes the metafile of the BMP file at path (or a bare name in the
    // working directory) beside it.
    void bmp2emf(const std::string& path);
    // The name of the file last clicked in the list in bmp, avi or wav mode,
    // as the file system spells it; empty before the first click.
    const std::string& selectedFile() const { return SelectedFile; }
    void Timer3Timer();
    void Timer4Timer();
    // The full paths of the frame files in the current folder.
    QStringList FillList() const;
    bool recording() const { return recording_; }
    bool soundRecording() const { return soundRecording_; }
    void N1Click();

    // The next output name of each kind, and the refresh of Edit1 for the
    // current mode.
    std::int32_t pictureCounter() const { return pictureCounter_; }
    std::int32_t videoCounter() const { return videoCounter_; }
    std::int32_t frameCounter() const { return frameCounter_; }
    std::int32_t soundCounter() const { return soundCounter_; }
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

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;

    struct Mode;

    void FormCreate(const LockFolders& lockFolders);
    void createControls();
    void createMenusAndTimers();
    void connectHandlers();
    void openStartFolder();

    // Border icons: the system menu (with its close box) and the maximise box.
    void setBorderIcons(bool systemMenu, bool maximiseBox);
    void setFrameless(bool frameless);
    void placePanel();
    void takeSnapshot();
    void startClipRecording();
    // The stop step of a clip recording; returns the text of an error that
    // kept frames out of the clip.
    QString finishRecording();
    void previewPicture(const std::string& path);
    void checkSound(const std::string& path);
    // The viewer window, made on first use so that it costs the start
    // nothing, and kept for the rest of the run.
    TVid& viewer();
    // The avi branch of the list's double click: the clip moves from the
    // preview's player to the viewer's.
    void openClipInViewer(const std::string& path);
    // Closes the viewer's clip before the preview's player opens one.
    void closeViewerClip();
    void startSoundRecording();
    // The recording device's steps; each is left out when no device is open
    // and none reports a failure.
    void openSoundDevice();
    void recordSound();
    void stopAndSaveSound();
    void closeSoundDevice();
    // Shows a status text in the caption for a moment in which no input is
    // taken, then puts the caption back.
    void flashCaption(const QString& status, int milliseconds);
    // Edit1 shows an output path; it is not where the path is kept.
    void showNextName(const std::string& path);
    // What a mode button sets: the list's mask, the capture button, the
    // preview controls.
    void applyMode(const Mode& mode);

    std::int32_t pictureCounter_ = 1;
    std::int32_t videoCounter_ = 1;
    std::int32_t frameCounter_ = 1;
    std::int32_t soundCounter_ = 1;
    std::string SelectedFile;
    TVid* viewer_ = nullptr;
    bool alreadyRunning_ = false;
    bool hiddenForRecording_ = false;
    InstanceLock lock_;
    QString savedCaption_;
    bool recording_ = false;
    int progressStep_ = 0;
    int lateFrames_ = 0;
    QElapsedTimer frameClock_;
    std::unique_ptr<ScreenGrabber> grabber_;
    std::unique_ptr<WindowService> windows_;
    bool soundRecording_ = false;
    std::unique_ptr<SoundRecorder> recorder_;

    QPoint decorationOffset_;
    FrameTitleStrip* titleStrip_ = nullptr;
    SeeThrough* seeThrough_ = nullptr;
};

} // namespace kadrix
