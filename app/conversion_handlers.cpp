// The green strip under the preview: the previewed picture as a JPEG, a
// 32 x 32 icon or a metafile beside the file, named after SelectedFile. A
// bare SelectedFile lands in the folder the list shows now.
#include "app/UnitMain.h"

#include "app/error_report.h"
#include "browser/picture_box.h"
#include "convert/emf_writer.h"
#include "convert/icon_writer.h"
#include "convert/jpeg_encoder.h"
#include "convert/picture_pixels.h"
#include "convert/screen_reference_device.h"
#include "core/path.h"

namespace kadrix {

void TMain::SpeedButton1Click() {
    // The previewed file at its own size: the preview holds it only as
    // shown.
    const PicturePixels pixels(Image1->picture());
    writeJpeg(pixels.view(), replaceExtension(SelectedFile, ".jpg"));
}

void TMain::SpeedButton2Click() {
    const QImage picture = Image1->picture();
    if (!canCutIcon(picture.width(), picture.height())) {
        showMessage(QString::fromUtf8(iconRefusal));
        return;
    }
    // Only the corner is read: no need to convert the whole picture.
    const PicturePixels corner(picture.copy(0, 0, iconSide, iconSide));
    writeIcon(corner.view(), replaceExtension(SelectedFile, ".ico"));
}

void TMain::SpeedButton3Click() {
    bmp2emf(SelectedFile);
}

void TMain::bmp2emf(const std::string& path) {
    kadrix::bmp2emf(path, screenReferenceDevice(screen()));
}

} // namespace kadrix
