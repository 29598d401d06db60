// SPDX-License-Identifier: GPL-3.0-or-later
// The next output name of each kind and the next-name field.
#include "app/main_window.h"

#include "browser/directory_list_box.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

namespace kadrix {

const std::string& TMain::currentFolder() const {
    return DirectoryListBox1->directory();
}

std::string TMain::outputPathFor(OutputKind kind) const {
    const std::int32_t counter = kind == OutputKind::Frame ? frameCounter() : counters_.next(kind);
    return outputPath(kind, counter, currentFolder());
}

void TMain::refreshNextName() {
    const OutputKind kind = mode_ == Mode::Clips    ? OutputKind::Video
                            : mode_ == Mode::Sounds ? OutputKind::Sound
                                                    : OutputKind::Picture;
    showNextName(outputPathFor(kind));
}

void TMain::showNextName(const std::string& path) {
    Edit1->setText(QFile::decodeName(QByteArray::fromStdString(path)));
}

} // namespace kadrix
