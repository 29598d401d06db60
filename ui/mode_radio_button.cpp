// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mode_radio_button.h"

#include "ui/colors.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace kadrix {

namespace {

// The buttons stand 42 pixels apart and "bmp" must not run under "avi": a
// smaller indicator, closer to its caption, than the style's own.
constexpr int indicatorSide = 12;
constexpr int captionGap = 3;
constexpr qreal dotRadius = 3;

} // namespace

ModeRadioButton::ModeRadioButton(const QString& caption, const QColor& fill, QWidget* parent)
    : QRadioButton(caption, parent), fill_(fill) {}

void ModeRadioButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), fill_);

    const QPointF centre(indicatorSide / 2.0, (height() - indicatorSide) / 2 + indicatorSide / 2.0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colors::silver);
    painter.setBrush(Qt::white);
    const qreal radius = (indicatorSide - 1) / 2.0;
    painter.drawEllipse(centre, radius, radius);
    if (isChecked()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawEllipse(centre, dotRadius, dotRadius);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    const QRect captionBox = rect().adjusted(indicatorSide + captionGap, 0, 0, 0);
    painter.setPen(Qt::white);
    painter.drawText(captionBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = fontMetrics()
                         .boundingRect(captionBox, Qt::AlignLeft | Qt::AlignVCenter, text())
                         .adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

QSize ModeRadioButton::sizeHint() const {
    // The focus frame stands one pixel out on each side of the caption.
    const QFontMetrics metrics = fontMetrics();
    return {indicatorSide + captionGap + metrics.horizontalAdvance(text()) + 1,
            qMax(indicatorSide, metrics.height())};
}

bool ModeRadioButton::hitButton(const QPoint& at) const {
    return rect().contains(at);
}

} // namespace kadrix
