// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>

namespace kadrix {

// Gives a control that has no click of its own (a label) a clicked signal: a
// left button pressed and released over it. Install it as the control's
// child; it watches its parent.
class ClickFilter : public QObject {
    Q_OBJECT

public:
    explicit ClickFilter(QWidget* control) : QObject(control) { control->installEventFilter(this); }

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* control = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton &&
                control->rect().contains(mouse->position().toPoint()))
                emit clicked();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace kadrix
