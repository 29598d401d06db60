// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/filled_boxes.h"

#include "ui/colors.h"

#include <QPainter>

namespace kadrix {

namespace {

// The gap for the title starts this far from the box's left edge and leaves
// this much room on each side of the title.
constexpr int titleLeft = 6;
constexpr int titlePadding = 4;

} // namespace

FilledPanel::FilledPanel(const QColor& fill, QWidget* parent, Edge edge)
    : QFrame(parent), fill_(fill), edge_(edge) {}

void FilledPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    if (edge_ == Edge::AsSet) {
        painter.end();
        QFrame::paintEvent(event);
        return;
    }
    // Lit from the top left: a lowered line is dark there and light at the
    // bottom right, a raised one the other way round.
    const auto bevel = [&](const QRect& box, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(box.topLeft(), box.topRight());
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    bevel(rect(), colors::grey, Qt::white);
    bevel(rect().adjusted(1, 1, -1, -1), Qt::white, colors::grey);
}

FramedGroupBox::FramedGroupBox(const QString& title, int lineTop, QWidget* parent)
    : QGroupBox(title, parent), lineTop_(lineTop) {}

void FramedGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Above its line the box shows what lies beneath: over the name box, the
    // banner's lower edge.
    const QRect lined = rect().adjusted(0, lineTop_, 0, 0);
    painter.fillRect(lined, colors::maroon);
    QRect titleBox;
    if (!title().isEmpty()) {
        const int width = fontMetrics().horizontalAdvance(title()) + 2 * titlePadding;
        titleBox = QRect(titleLeft, 0, width, fontMetrics().height());
        painter.setClipRegion(QRegion(rect()).subtracted(titleBox));
    }
    painter.setPen(colors::silver);
    painter.drawRect(lined.adjusted(0, 0, -1, -1));
    if (titleBox.isValid()) {
        painter.setClipping(false);
        painter.setPen(Qt::white);
        painter.drawText(titleBox, Qt::AlignCenter, title());
    }
}

} // namespace kadrix
