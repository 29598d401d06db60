// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "convert/viewer_layout.h"
#include "platform/clip_player.h"

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

class QEventLoop;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWindow;

namespace kadrix {

class ColorBox;
class MediaPlayerBar;

// What the viewer asks of the program around it: the application's error
// report, its plain message box, and a player for clips.
struct ViewerServices {
    std::function<void(const QString& text, QWidget* parent)> showErrorReport;
    std::function<void(const QString& text, QWidget* parent)> showMessage;
    ClipPlayerFactory clipPlayers;
};

// The viewer: a maroon window, shown modally and maximised over the main
// window. In its picture layout it shows a picture at its real size and
// saves it, captioned and scaled to a typed height, as a JPEG beside it; in
// its clip layout it plays a clip. A double click on its surface closes it.
class TVid : public QWidget {
    Q_OBJECT

public:
    enum class Layout { Picture, Clip };

    explicit TVid(ViewerServices services, QWidget* parent = nullptr);
    ~TVid() override;

    // Opens the picture layout for the bitmap file at path (SelectedFile)
    // and shows the viewer; returns when it is closed.
    void openPicture(const std::string& path);
    // Opens the clip layout with the clip at path open in the viewer's
    // player, drawing on Panel1, and shows the viewer; returns when it is
    // closed, leaving the clip open (and playing, if it plays). Throws
    // kadrix::Error with the player's reason when the clip cannot be opened;
    // the viewer is not shown then.
    void openClip(const std::string& path);
    // Closes the clip in the viewer's player, so that one player alone has
    // a clip open.
    void closeClip();
    // Shows the viewer modally, at its normal size if it was left minimised;
    // returns when it is closed.
    void ShowModal();

    Layout layout() const { return layout_; }
    // Where the picture was last painted, in the window's coordinates.
    ViewerPoint pictureOrigin() const { return origin_; }
    // The height of the picture file at the last activation.
    int sourceHeight() const { return sourceHeight_; }
    // What the surface shows: the picture last painted, or nothing.
    const QPixmap& shownPicture() const { return shown_; }

    // Handlers.
    void FormActivate();
    void BitBtn1Click();
    void ColorBox1Change();
    void FormDblClick();
    void Panel1DblClick();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void applyLayout(Layout layout);
    // Runs a handler; an error it raises goes to the error report, whose
    // box does not count as another window of the program when it closes.
    void runHandler(void (TVid::*handler)());
    void showPicture(const QImage& picture);
    void clearSurface();
    void noteFocusWindow(QWindow* focus);

    ViewerServices services_;
    Layout layout_ = Layout::Picture;
    std::string selectedFile_;
    ViewerPoint origin_;
    int sourceHeight_ = 0;
    // Kept so that the surface repaints what was last painted on it.
    QPixmap shown_;
    QEventLoop* modalLoop_ = nullptr;
    bool reportingError_ = false;
    // Whether the next activation runs FormActivate: it does when the
    // viewer is shown and when another window of the program (a message
    // box) had the focus since, not when the viewer returns from another
    // program or from the error report.
    bool activateOnReturn_ = true;

    QFrame* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    MediaPlayerBar* MediaPlayer2 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* MaskEdit2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    ColorBox* ColorBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
};

} // namespace kadrix
