// SPDX-License-Identifier: GPL-3.0-or-later
// The green strip under the preview: the previewed picture as a JPEG, a
// 32 x 32 icon or a metafile beside the file, named after SelectedFile. None
// is written over the picture itself.
#include "app/main_window.h"

#include "convert/own_source.h"
#include "convert/picture_pixels.h"
#include "convert/screen_reference_device.h"
#include "core/convert/emf_writer.h"
#include "core/convert/icon_writer.h"
#include "core/convert/jpeg_encoder.h"
#include "core/path.h"
#include "ui/error_report.h"
#include "ui/picture_box.h"

namespace kadrix {

namespace {

// True, after saying so, when the conversion would write over its source.
bool refusedOverSource(const std::string& source, const std::string& output) {
    const QString refusal = ownSourceRefusal(source, output);
    if (!refusal.isEmpty())
        showMessage(refusal);
    return !refusal.isEmpty();
}

} // namespace

void TMain::SpeedButton1Click() {
    const std::string output = replaceExtension(SelectedFile, ".jpg");
    if (refusedOverSource(SelectedFile, output))
        return;
    // The previewed file at its own size: the preview holds it only as
    // shown.
    const PicturePixels pixels(Image1->picture());
    writeJpeg(pixels.view(), output);
}

void TMain::SpeedButton2Click() {
    const std::string output = replaceExtension(SelectedFile, ".ico");
    if (refusedOverSource(SelectedFile, output))
        return;
    const QImage picture = Image1->picture();
    if (!canCutIcon(picture.width(), picture.height())) {
        showMessage(QString::fromUtf8(iconRefusal));
        return;
    }
    // Only the corner is read: no need to convert the whole picture.
    const PicturePixels corner(picture.copy(0, 0, iconSide, iconSide));
    writeIcon(corner.view(), output);
}

void TMain::SpeedButton3Click() {
    if (!refusedOverSource(SelectedFile, replaceExtension(SelectedFile, ".emf")))
        bmp2emf(SelectedFile);
}

void TMain::bmp2emf(const std::string& path) {
    kadrix::bmp2emf(path, screenReferenceDevice(screen()));
}

} // namespace kadrix
