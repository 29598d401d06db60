// The next output name of each kind and the next-name field.
#include "app/UnitMain.h"

#include "browser/directory_list_box.h"

#include <QLineEdit>
#include <QRadioButton>

namespace kadrix {

const std::string& TMain::currentFolder() const {
    return DirectoryListBox1->directory();
}

std::string TMain::outputPathFor(OutputKind kind) const {
    const std::int32_t counter = kind == OutputKind::Picture ? pictureCounter_
                                 : kind == OutputKind::Frame ? frameCounter_
                                 : kind == OutputKind::Video ? videoCounter_
                                                             : soundCounter_;
    return outputPath(kind, counter, currentFolder());
}

void TMain::refreshNextName() {
    const OutputKind kind = RadioButton2->isChecked()   ? OutputKind::Video
                            : RadioButton3->isChecked() ? OutputKind::Sound
                                                        : OutputKind::Picture;
    Edit1->setText(QString::fromStdString(outputPathFor(kind)));
}

} // namespace kadrix
