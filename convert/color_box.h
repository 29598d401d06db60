// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QComboBox>

namespace kadrix {

// A drop-down list of the 16 standard colours in their customary order, each
// entry a swatch and the colour's identifier ("clBlack" to "clWhite").
class ColorBox : public QComboBox {
    Q_OBJECT

public:
    explicit ColorBox(QWidget* parent = nullptr);

    QColor selectedColor() const;
    void selectColor(const QColor& color);
};

} // namespace kadrix
