// SPDX-License-Identifier: GPL-3.0-or-later
// The switch between the options layout and the capture frame.
#include "app/main_window.h"

#include "app/frame_title_strip.h"
#include "app/see_through.h"
#include "browser/directory_list_box.h"
#include "browser/drive_combo_box.h"
#include "browser/file_list_box.h"
#include "ui/media_player_bar.h"
#include "ui/picture_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace kadrix {

namespace {

void setShown(std::initializer_list<QWidget*> controls, bool shown) {
    for (QWidget* control : controls)
        control->setVisible(shown);
}

} // namespace

void TMain::BitBtn2Click() {
    if (layout_ == Layout::Options) {
        layout_ = Layout::CaptureFrame;
        // The frame keeps the window's place and outer size, title bar and
        // border included: it draws them itself.
        const QRect outer = frameGeometry();
        decorationOffset_ = geometry().topLeft() - outer.topLeft();
        BitBtn1->setEnabled(true);
        BitBtn3->hide();
        BitBtn2->setText("Опции");
        GroupBox2->hide();
        setShown({DriveComboBox1, DirectoryListBox1, FileListBox1, Image1, Image2}, false);
        setShown({GroupBox3, GroupBox4, MediaPlayer1, Panel2, Panel3}, false);
        setFrameless(true);
        setMinimumSize(GroupBox1->width() + 16, GroupBox1->height() + 40);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setBorderIcons(true, true);
        setGeometry(outer);
        seeThrough_->setEnabled(true);
        // A desktop that asks the user's consent for grabs asks it now, while
        // the user readies the frame, not at the first capture.
        services_.grabber->prepare();
        return;
    }

    layout_ = Layout::Options;
    showNormal();
    const QPoint outerTopLeft = frameGeometry().topLeft();
    BitBtn1->setEnabled(false);
    setShown({BitBtn3, GroupBox3, GroupBox4, GroupBox2}, true);
    BitBtn2->setText("Готов");
    seeThrough_->setEnabled(false);
    setShown({DriveComboBox1, DirectoryListBox1, FileListBox1, Image1, Image2}, true);
    setFrameless(false);
    setBorderIcons(true, false);
    setFixedSize(clientWidth, clientHeight);
    // The window manager's frame comes back around the window: its inside goes
    // where it was inside that frame before.
    move(outerTopLeft + decorationOffset_);
    if (mode_ == Mode::Clips) {
        MediaPlayer1->show();
        Panel2->show();
    }
    refreshNextName();
    // Files captured in the frame come into the lists now, once the layout
    // is whole.
    reloadFolder();
}

void TMain::FormResize() {
    GroupBox1->move(Panel1->width() - 73, 7);
    seeThrough_->update();
}

} // namespace kadrix
