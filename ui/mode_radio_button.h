// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRadioButton>

namespace kadrix {

// A mode button of the main window: its caption in white on its own colour,
// beside a small white indicator with a dark dot when chosen. The style's own
// indicator takes the button's colour inside and vanishes on navy and teal.
// It paints itself rather than through a style sheet, which would bring in
// Qt's style-sheet machinery, some 0.7 MB at start, for these four buttons alone.
class ModeRadioButton final : public QRadioButton {
public:
    ModeRadioButton(const QString& caption, const QColor& fill, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The whole button takes the click, caption and colour as well.
    bool hitButton(const QPoint& at) const override;

private:
    QColor fill_;
};

} // namespace kadrix
