// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer opened from the main window: the previewed picture at its real
// size, or a clip in the viewer's own player.
#include "app/main_window.h"

#include "browser/file_list_box.h"
#include "convert/viewer_window.h"
#include "core/clip/clip_format.h"
#include "core/file.h"
#include "core/path.h"
#include "ui/error_report.h"
#include "ui/media_player_bar.h"

#include <QRadioButton>

namespace kadrix {

TVid& TMain::viewer() {
    if (!viewer_)
        viewer_ =
            new TVid(ViewerServices{&showErrorReport, &showMessage, services_.clipPlayers}, this);
    return *viewer_;
}

void TMain::openClipInViewer(const std::string& path) {
    MediaPlayer1->close();
    // The viewer's player shows what the preview's shows: a clip refused
    // there is refused here, in the same words.
    {
        InputFile file(path);
        checkClipCanBeShown(file);
    }
    viewer().openClip(path);
}

void TMain::closeViewerClip() {
    if (viewer_)
        viewer_->closeClip();
}

void TMain::Image1DblClick() {
    if (mode_ != Mode::Pictures)
        return;
    SelectedFile = joinPath(FileListBox1->directory(), FileListBox1->selectedName());
    viewer().openPicture(SelectedFile);
}

} // namespace kadrix
