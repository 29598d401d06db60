// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/list_glyphs.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace kadrix::glyphs {

namespace {

QIcon drawGlyph(void (*draw)(QPainter&)) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

// A framed landscape: sky, a green hill and the sun.
void drawPicture(QPainter& p) {
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(150, 200, 255));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 150, 40));
    p.drawPolygon(QPolygonF(
        {QPointF(2, 13), QPointF(7, 7), QPointF(10, 10), QPointF(14, 6), QPointF(14, 13)}));
    p.setBrush(QColor(255, 210, 0));
    p.drawEllipse(QPointF(5, 5.5), 1.5, 1.5);
}

// A strip of film with its sprocket holes.
void drawClip(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(50, 50, 50));
    p.drawRect(QRectF(1, 2, 14, 12));
    p.setBrush(Qt::white);
    for (int x = 2; x < 15; x += 3) {
        p.drawRect(QRectF(x, 3, 1.5, 1.5));
        p.drawRect(QRectF(x, 11.5, 1.5, 1.5));
    }
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(QRectF(3, 5.5, 10, 5));
}

// A quaver.
void drawSound(QPainter& p) {
    p.setPen(QPen(QColor(20, 20, 120), 1.5));
    p.drawLine(QPointF(9.5, 12), QPointF(9.5, 2.5));
    p.drawLine(QPointF(9.5, 2.5), QPointF(13, 5.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 120));
    p.drawEllipse(QPointF(7, 12), 3, 2.2);
}

// A sheet of paper with its corner folded.
void drawOtherFile(QPainter& p) {
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(3.5, 1.5), QPointF(9.5, 1.5), QPointF(12.5, 4.5),
                             QPointF(12.5, 14.5), QPointF(3.5, 14.5)}));
    p.drawPolyline(QPolygonF({QPointF(9.5, 1.5), QPointF(9.5, 4.5), QPointF(12.5, 4.5)}));
}

const QColor folderYellow(240, 200, 80);
const QColor folderEdge(150, 110, 20);

// A closed folder: its tab and its body.
void drawClosedFolder(QPainter& p) {
    p.setPen(folderEdge);
    p.setBrush(folderYellow);
    p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(14.5, 5),
                             QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
    p.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
}

// An open folder: the front leans out, showing the paler inside.
void drawOpenFolder(QPainter& p) {
    p.setPen(folderEdge);
    p.setBrush(folderYellow.darker(115));
    p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(13.5, 5),
                             QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
    p.setBrush(folderYellow);
    p.drawPolygon(
        QPolygonF({QPointF(1.5, 13.5), QPointF(4, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5)}));
}

// The red cross of "Удалить все".
void drawDeleteAll(QPainter& p) {
    p.setPen(QPen(QColor(255, 0, 0), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3, 3), QPointF(13, 13));
    p.drawLine(QPointF(13, 3), QPointF(3, 13));
}

} // namespace

QIcon drawn(Glyph glyph) {
    // In the order of Glyph.
    constexpr void (*draw[])(QPainter&) = {drawPicture,   drawClip,       drawSound,
                                           drawOtherFile, drawOpenFolder, drawClosedFolder,
                                           drawDeleteAll};
    return drawGlyph(draw[static_cast<int>(glyph)]);
}

} // namespace kadrix::glyphs
