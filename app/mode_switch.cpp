// SPDX-License-Identifier: GPL-3.0-or-later
// The four mode buttons: what the capture button does, which files the list
// shows, and which preview controls stand beside it.
#include "app/UnitMain.h"

#include "browser/file_list_box.h"
#include "browser/picture_box.h"
#include "core/error.h"
#include "media/media_player_bar.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <optional>

namespace kadrix {

struct TMain::Mode {
    const char* mask;
    const char* captureCaption;
    bool canCapture;                   // the layout switch and "Удалить все"
    bool clipPlayer;                   // Panel2 and MediaPlayer1
    std::optional<bool> conversionBar; // Panel3; left alone where empty
    bool picturePreview;
    bool duration;
    bool refreshesNextName;
    bool clipExports; // the list's menu offers MP4, WebM and GIF
};

void TMain::applyMode(const Mode& mode) {
    // The mode's own state first, whole: a folder that has gone meanwhile is
    // dealt with after, and leaves no control in the old mode.
    BitBtn2->setEnabled(mode.canCapture);
    BitBtn3->setEnabled(mode.canCapture);
    Panel2->setVisible(mode.clipPlayer);
    if (mode.conversionBar)
        Panel3->setVisible(*mode.conversionBar);
    MediaPlayer1->setVisible(mode.clipPlayer);
    Image1->setVisible(mode.picturePreview);
    BitBtn1->setText(mode.captureCaption);
    SpinEdit1->setEnabled(mode.duration);
    for (QAction* exportItem : {N8, N9, N10})
        exportItem->setVisible(mode.clipExports);
    if (mode.refreshesNextName)
        refreshNextName();
    try {
        FileListBox1->setMask(mode.mask);
    } catch (const Error& error) {
        leaveVanishedFolder(error);
        FileListBox1->setMask(mode.mask);
    }
}

void TMain::RadioButton1Click() {
    static constexpr Mode pictures{"*.bmp", "снимок", true, false, std::nullopt,
                                   true,    false,    true, false};
    if (RadioButton1->isChecked())
        applyMode(pictures);
}

void TMain::RadioButton2Click() {
    static constexpr Mode clips{"*.avi", "съемка", true, true, false, false, true, true, true};
    if (RadioButton2->isChecked())
        applyMode(clips);
}

void TMain::RadioButton3Click() {
    static constexpr Mode sounds{"*.wav", "Звук", true, false, false, false, true, true, false};
    if (RadioButton3->isChecked())
        applyMode(sounds);
}

void TMain::RadioButton4Click() {
    static constexpr Mode allFiles{"*.*", "снимок", false, false, false,
                                   false, false,    false, false};
    if (RadioButton4->isChecked())
        applyMode(allFiles);
}

} // namespace kadrix
