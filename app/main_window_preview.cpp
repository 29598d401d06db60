// SPDX-License-Identifier: GPL-3.0-or-later
// A click on a listed file previews it as the mode says; a double click opens
// it. In "все" mode neither does anything.
#include "app/main_window.h"

#include "browser/file_list_box.h"
#include "core/checks/file_type.h"
#include "core/clip/clip_format.h"
#include "core/file.h"
#include "core/path.h"
#include "platform/sound_player.h"
#include "ui/error_report.h"
#include "ui/media_player_bar.h"
#include "ui/picture_box.h"

#include <QByteArray>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QUrl>

namespace kadrix {

namespace {

// A file URL that keeps every byte of the name, UTF-8 or not.
QUrl fileUrl(const std::string& path) {
    const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

} // namespace

void TMain::FileListBox1Click() {
    if (mode_ == Mode::AllFiles)
        return;
    SelectedFile = joinPath(FileListBox1->directory(), FileListBox1->selectedName());
    switch (mode_) {
    case Mode::Pictures:
        previewPicture(SelectedFile);
        break;
    case Mode::Clips:
        closeViewerClip();
        openClip(SelectedFile);
        break;
    case Mode::Sounds:
        checkSound(SelectedFile);
        break;
    case Mode::AllFiles:
        break;
    }
}

void TMain::FileListBox1DblClick() {
    const std::string path = joinPath(FileListBox1->directory(), FileListBox1->selectedName());
    switch (mode_) {
    case Mode::Pictures:
        // The desktop's program for the file; as the desktop's own file
        // managers do, a file no program takes is left without a word.
        services_.urls->open(fileUrl(path), [](const QString&) {});
        break;
    case Mode::Clips:
        openClipInViewer(path);
        break;
    case Mode::Sounds:
        playSound(path);
        break;
    case Mode::AllFiles:
        break;
    }
}

void TMain::previewPicture(const std::string& path) {
    InputFile file(path);
    if (PhysicalResolveFileType(file) != FileType::Bitmap) {
        Panel3->hide();
        showMessage("Это не BMP формат!");
        return;
    }
    // Decoded before anything changes: a picture that fails leaves the
    // preview and the strip as they were.
    Image1->showPictureFile(file);
    Panel3->show();
}

void TMain::openClip(const std::string& path) {
    // Opening closes the clip before; so does a clip refused here.
    MediaPlayer1->close();
    {
        InputFile file(path);
        checkClipCanBeShown(file);
    }
    MediaPlayer1->open(path, Panel2);
}

void TMain::playSound(const std::string& path) {
    Panel4->show();
    Panel4->repaint();
    // The window takes no input until the sound has ended. A sound that
    // cannot be played never keeps the window longer than its length and a
    // margin, and is reported: there is no default sound to play instead.
    const bool played = services_.soundPlayer->playToEnd(path);
    Panel4->hide();
    if (!played)
        showMessage("Не удалось проиграть звук <" + QString::fromStdString(path) + ">");
}

void TMain::checkSound(const std::string& path) {
    InputFile file(path);
    if (!hasWaveForm(file))
        showMessage("Это не wave формат!");
}

} // namespace kadrix
