// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFrame>
#include <QGroupBox>

namespace kadrix {

// Containers of the main window that fill themselves with their colour. The
// colour is painted, not set in their palette: a palette passes on to the
// controls inside, and the style draws their outlines in shades of its
// window colour, so lists and buttons would take on a maroon rim.

// A panel of one colour, with its frame as set, or grooved: a bevel of two
// lines, the outer one lowered and the inner one raised, that sets it off
// from what lies around it.
class FilledPanel final : public QFrame {
public:
    enum class Edge { AsSet, Groove };
    FilledPanel(const QColor& fill, QWidget* parent, Edge edge = Edge::AsSet);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    Edge edge_;
};

// A maroon group box with a one-pixel silver line and its title, if any, in
// white in a gap of the line.
class FramedGroupBox final : public QGroupBox {
public:
    // lineTop is how far below the box's top edge its line runs.
    FramedGroupBox(const QString& title, int lineTop, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lineTop_;
};

} // namespace kadrix
