// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/color_box.h"

#include "core/picture/standard_colors.h"

#include <QPainter>
#include <QPixmap>
#include <array>

namespace kadrix {

namespace {

// The identifiers under which users of the colour box have always known the
// standard colours, in the order of standardColors.
constexpr std::array<const char*, standardColors.size()> colorNames{
    "clBlack",  "clMaroon", "clGreen", "clOlive",  "clNavy", "clPurple",  "clTeal", "clGray",
    "clSilver", "clRed",    "clLime",  "clYellow", "clBlue", "clFuchsia", "clAqua", "clWhite"};

QPixmap swatch(const QColor& color) {
    QPixmap pixmap(14, 14);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return pixmap;
}

} // namespace

ColorBox::ColorBox(QWidget* parent) : QComboBox(parent) {
    for (std::size_t i = 0; i < standardColors.size(); ++i) {
        const Rgb rgb = standardColors[i];
        const QColor color(rgb.red, rgb.green, rgb.blue);
        addItem(QIcon(swatch(color)), colorNames[i], color);
    }
}

QColor ColorBox::selectedColor() const {
    return currentData().value<QColor>();
}

void ColorBox::selectColor(const QColor& color) {
    setCurrentIndex(findData(color));
}

} // namespace kadrix
