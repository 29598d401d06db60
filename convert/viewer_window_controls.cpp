// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's controls at their places, in their state at start.
#include "convert/viewer_window.h"

#include "convert/color_box.h"
#include "ui/colors.h"
#include "ui/filled_boxes.h"
#include "ui/media_player_bar.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kadrix {

namespace {

template <typename Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* created = new QLabel(text, parent);
    created->setObjectName(name);
    // White on the group box's maroon.
    QPalette palette = created->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    created->setPalette(palette);
    created->move(left, top);
    created->adjustSize();
    return created;
}

// A size field: up to five digits, so that heights from 10000 on (a tall
// screenshot) show whole rather than cut to four, blank places shown as
// spaces, the number in bold maroon.
QLineEdit* sizeField(QWidget* parent, const char* name, int left) {
    auto* field = place(new QLineEdit(parent), name, left, 16, 40, 21);
    field->setInputMask("00000; ");
    QFont bold = field->font();
    bold.setBold(true);
    field->setFont(bold);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Text, colors::maroon);
    field->setPalette(palette);
    return field;
}

} // namespace

void TVid::createControls() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setAutoFillBackground(true);
    Panel1->setCursor(Qt::ArrowCursor);
    Panel1->installEventFilter(this);
    Panel1->hide();

    GroupBox1 = place(new FramedGroupBox({}, 0, this), "GroupBox1", 0, 421, 177, 29);
    GroupBox1->setAccessibleName("Проигрыватель");
    GroupBox1->hide();
    MediaPlayer2 =
        place(new MediaPlayerBar(services_.clipPlayers, GroupBox1), "MediaPlayer2", 3, 9, 169, 20);

    GroupBox2 = place(new FramedGroupBox("Преобразовать в JPG с размером", 6, this), "GroupBox2", 3,
                      328, 201, 80);
    Label1 = label(GroupBox2, "Label1", "Высота", 8, 19);
    MaskEdit1 = sizeField(GroupBox2, "MaskEdit1", 56);
    MaskEdit1->setAccessibleName(Label1->text());
    Label2 = label(GroupBox2, "Label2", "Ширина", 104, 19);
    MaskEdit2 = sizeField(GroupBox2, "MaskEdit2", 152);
    MaskEdit2->setAccessibleName(Label2->text());
    MaskEdit2->setReadOnly(true);
    MaskEdit2->setEnabled(false);
    BitBtn1 = place(new QPushButton("Сохранить в JPG", GroupBox2), "BitBtn1", 8, 49, 185, 24);
    QPalette buttonPalette = BitBtn1->palette();
    buttonPalette.setColor(QPalette::ButtonText, colors::maroon);
    BitBtn1->setPalette(buttonPalette);

    GroupBox3 = place(new FramedGroupBox("Подписать", 6, this), "GroupBox3", 3, 408, 201, 49);
    ColorBox1 = place(new ColorBox(GroupBox3), "ColorBox1", 8, 15, 41, 22);
    ColorBox1->selectColor(colors::maroon);
    ColorBox1->setAccessibleName("Цвет подписи");
    Edit1 = place(new QLineEdit(GroupBox3), "Edit1", 52, 15, 137, 21);
    Edit1->setAccessibleName(GroupBox3->title());
    QPalette captionPalette = Edit1->palette();
    captionPalette.setColor(QPalette::Text, colors::maroon);
    Edit1->setPalette(captionPalette);

    for (QGroupBox* group : {GroupBox1, GroupBox2, GroupBox3})
        group->setCursor(Qt::ArrowCursor);
}

} // namespace kadrix
