// The four mode buttons: what the capture button does, which files the list
// shows, and which preview controls stand beside it.
#include "app/UnitMain.h"

#include "app/media_player_bar.h"
#include "browser/file_list_box.h"
#include "browser/picture_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <optional>

namespace kadrix {

namespace {

struct Mode {
    const char* mask;
    const char* captureCaption;
    bool canCapture;                   // the layout switch and "Удалить все"
    bool clipPlayer;                   // Panel2 and MediaPlayer1
    std::optional<bool> conversionBar; // Panel3; left alone where empty
    bool picturePreview;
    bool duration;
    bool refreshesNextName;
};

constexpr Mode pictures{"*.bmp", "снимок", true, false, std::nullopt, true, false, true};
constexpr Mode clips{"*.avi", "съемка", true, true, false, false, true, true};
constexpr Mode sounds{"*.wav", "Звук", true, false, false, false, true, true};
constexpr Mode allFiles{"*.*", "снимок", false, false, false, false, false, false};

void applyMode(TMain& w, const Mode& mode) {
    // The list first: a folder that has gone leaves the mode as it was.
    w.FileListBox1->setMask(mode.mask);
    w.BitBtn2->setEnabled(mode.canCapture);
    w.BitBtn3->setEnabled(mode.canCapture);
    w.Panel2->setVisible(mode.clipPlayer);
    if (mode.conversionBar)
        w.Panel3->setVisible(*mode.conversionBar);
    w.MediaPlayer1->setVisible(mode.clipPlayer);
    w.Image1->setVisible(mode.picturePreview);
    w.BitBtn1->setText(mode.captureCaption);
    w.SpinEdit1->setEnabled(mode.duration);
    if (mode.refreshesNextName)
        w.refreshNextName();
}

} // namespace

void TMain::RadioButton1Click() {
    if (RadioButton1->isChecked())
        applyMode(*this, pictures);
}

void TMain::RadioButton2Click() {
    if (RadioButton2->isChecked())
        applyMode(*this, clips);
}

void TMain::RadioButton3Click() {
    if (RadioButton3->isChecked())
        applyMode(*this, sounds);
}

void TMain::RadioButton4Click() {
    if (RadioButton4->isChecked())
        applyMode(*this, allFiles);
}

} // namespace kadrix
