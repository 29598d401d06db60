// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/caption.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace kadrix {

namespace {

constexpr int averageCharWidth = 10;

} // namespace

QFont captionFont() {
    QFont font;
    if (QFontDatabase::families().contains("Liberation Sans")) {
        font.setFamily("Liberation Sans");
    } else {
        font.setFamily("Sans Serif");
        font.setStyleHint(QFont::SansSerif);
    }
    // The cell (ascent and descent) is what is 15 pixels high, not the em:
    // the largest pixel size whose cell fits.
    int pixelSize = captionCellHeight;
    for (; pixelSize > 1; --pixelSize) {
        font.setPixelSize(pixelSize);
        if (QFontMetrics(font).height() <= captionCellHeight)
            break;
    }
    const int naturalWidth = QFontMetrics(font).averageCharWidth();
    if (naturalWidth > 0)
        font.setStretch(qRound(100.0 * averageCharWidth / naturalWidth));
    return font;
}

void drawCaption(QImage& picture, const QString& text, const QColor& color, int top) {
    if (text.isEmpty())
        return;
    const QFont font = captionFont();
    const QFontMetrics metrics(font);
    QPainter painter(&picture);
    painter.fillRect(0, top, metrics.horizontalAdvance(text), captionCellHeight, Qt::white);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(0, top + metrics.ascent(), text);
}

} // namespace kadrix
