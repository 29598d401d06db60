// SPDX-License-Identifier: GPL-3.0-or-later
// The four mode buttons: what the capture button does, which files the list
// shows, and which preview controls stand beside it.
#include "app/main_window.h"

#include "browser/file_list_box.h"
#include "core/error.h"
#include "ui/media_player_bar.h"
#include "ui/picture_box.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <optional>

namespace kadrix {

struct TMain::ModeLook {
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

const TMain::ModeLook& TMain::lookOf(Mode mode) {
    static constexpr ModeLook pictures{"*.bmp", "снимок", true, false, std::nullopt,
                                       true,    false,    true, false};
    static constexpr ModeLook clips{"*.avi", "съемка", true, true, false, false, true, true, true};
    static constexpr ModeLook sounds{"*.wav", "Звук", true, false, false, false, true, true, false};
    static constexpr ModeLook allFiles{"*.*", "снимок", false, false, false,
                                       false, false,    false, false};
    switch (mode) {
    case Mode::Pictures:
        return pictures;
    case Mode::Clips:
        return clips;
    case Mode::Sounds:
        return sounds;
    case Mode::AllFiles:
        break;
    }
    return allFiles;
}

void TMain::setMode(Mode mode) {
    mode_ = mode;
    const ModeLook& look = lookOf(mode);
    // The mode's own state first, whole: a folder that has gone meanwhile is
    // dealt with after, and leaves no control in the old look.
    BitBtn2->setEnabled(look.canCapture);
    BitBtn3->setEnabled(look.canCapture);
    Panel2->setVisible(look.clipPlayer);
    if (look.conversionBar)
        Panel3->setVisible(*look.conversionBar);
    MediaPlayer1->setVisible(look.clipPlayer);
    Image1->setVisible(look.picturePreview);
    BitBtn1->setText(look.captureCaption);
    SpinEdit1->setEnabled(look.duration);
    for (QAction* exportItem : {N8, N9, N10})
        exportItem->setVisible(look.clipExports);
    if (look.refreshesNextName)
        refreshNextName();
    try {
        FileListBox1->setMask(look.mask);
    } catch (const Error& error) {
        leaveVanishedFolder(error);
        FileListBox1->setMask(look.mask);
    }
}

void TMain::RadioButton1Click() {
    if (RadioButton1->isChecked())
        setMode(Mode::Pictures);
}

void TMain::RadioButton2Click() {
    if (RadioButton2->isChecked())
        setMode(Mode::Clips);
}

void TMain::RadioButton3Click() {
    if (RadioButton3->isChecked())
        setMode(Mode::Sounds);
}

void TMain::RadioButton4Click() {
    if (RadioButton4->isChecked())
        setMode(Mode::AllFiles);
}

} // namespace kadrix
