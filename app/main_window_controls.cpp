// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls at their places, in their state at start.
#include "app/main_window.h"

#include "app/frame_title_strip.h"
#include "browser/directory_list_box.h"
#include "browser/drive_combo_box.h"
#include "browser/file_list_box.h"
#include "browser/list_glyphs.h"
#include "core/clip/clip_timing.h"
#include "ui/colors.h"
#include "ui/filled_boxes.h"
#include "ui/media_player_bar.h"
#include "ui/mode_radio_button.h"
#include "ui/picture_box.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResource>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace kadrix {

namespace {

void paint(QWidget* widget, const QColor& background, const QColor& text = Qt::black) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

template <typename Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}

QPushButton* handButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QRadioButton* modeButton(QWidget* parent, const char* name, const QString& caption,
                         const QColor& color) {
    auto* button = new ModeRadioButton(caption, color, parent);
    button->setObjectName(name);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QToolButton* conversionButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    paint(button, colors::green, Qt::white);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Button, colors::green);
    button->setPalette(palette);
    return button;
}

// The banner is kept as the screen's own pixels, 478 x 85 of 32 bits: shown
// at once, with no decoding and no look for Qt's image plug-ins at start.
QPixmap bannerPicture() {
    constexpr int width = 478, height = 85;
    const QResource banner(":/kadrix/banner.bgra");
    if (banner.size() != qint64{width} * height * 4 ||
        banner.compressionAlgorithm() != QResource::NoCompression)
        return {};
    return QPixmap::fromImage(QImage(banner.data(), width, height, QImage::Format_RGB32));
}

} // namespace

void TMain::createControls() {
    titleStrip_ = new FrameTitleStrip(this);
    titleStrip_->hide();

    Panel1 = new FilledPanel(colors::maroon, this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    GroupBox1 = place(new FramedGroupBox({}, 0, Panel1), "GroupBox1", 487, 7, 65, 94);
    BitBtn1 = place(handButton(GroupBox1, "BitBtn1", "снимок"), "BitBtn1", 5, 12, 49, 25);
    BitBtn1->setEnabled(false);
    SpinEdit1 = place(new QSpinBox(GroupBox1), "SpinEdit1", 6, 39, 35, 22);
    SpinEdit1->setRange(2, 30);
    SpinEdit1->setValue(2);
    SpinEdit1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    SpinEdit1->setEnabled(false);
    Label4 = new QLabel("сек", GroupBox1);
    Label4->setObjectName("Label4");
    Label4->move(43, 43);
    paint(Label4, colors::maroon, Qt::white);
    Label4->adjustSize();
    BitBtn2 = place(handButton(GroupBox1, "BitBtn2", "Готов"), "BitBtn2", 5, 64, 52, 25);

    Image2 = place(new QLabel(Panel1), "Image2", 8, 13, 478, 85);
    Image2->setPixmap(bannerPicture());

    GroupBox2 =
        place(new FramedGroupBox("Сохраняется c имени", 6, Panel1), "GroupBox2", 8, 97, 345, 41);
    Edit1 = place(new QLineEdit(GroupBox2), "Edit1", 4, 16, 336, 21);
    Edit1->setReadOnly(true);
    paint(Edit1, Qt::white);
    Edit1->setAutoFillBackground(false);

    DriveComboBox1 = place(new DriveComboBox(Panel1), "DriveComboBox1", 8, 144, 209, 19);
    DirectoryListBox1 = place(new DirectoryListBox(Panel1), "DirectoryListBox1", 8, 167, 209, 214);
    FileListBox1 = place(new FileListBox(Panel1), "FileListBox1", 218, 186, 135, 166);
    DirectoryListBox1->setFileList(FileListBox1);

    GroupBox4 = place(new FramedGroupBox({}, 0, Panel1), "GroupBox4", 219, 139, 132, 46);
    RadioButton1 = place(modeButton(GroupBox4, "RadioButton1", "bmp", colors::green),
                         "RadioButton1", 3, 7, 42, 17);
    RadioButton2 = place(modeButton(GroupBox4, "RadioButton2", "avi", colors::olive),
                         "RadioButton2", 45, 8, 42, 17);
    RadioButton3 = place(modeButton(GroupBox4, "RadioButton3", "wav", colors::navy), "RadioButton3",
                         87, 8, 42, 17);
    RadioButton4 = place(modeButton(GroupBox4, "RadioButton4", "все", colors::teal), "RadioButton4",
                         45, 25, 42, 18);
    RadioButton1->setChecked(true);

    BitBtn3 = place(handButton(Panel1, "BitBtn3", "Удалить все"), "BitBtn3", 219, 355, 134, 26);
    BitBtn3->setIcon(glyphs::drawn(glyphs::Glyph::DeleteAll));

    Image1 = place(new PictureBox(Panel1), "Image1", 357, 105, 195, 193);
    Image1->setCursor(Qt::PointingHandCursor);

    Panel2 = place(new FilledPanel(colors::maroon, Panel1), "Panel2", 358, 106, 193, 193);
    Panel2->hide();
    MediaPlayer1 =
        place(new MediaPlayerBar(services_.clipPlayers, Panel1), "MediaPlayer1", 358, 300, 169, 20);
    MediaPlayer1->hide();

    Panel3 = place(new FilledPanel(colors::green, Panel1, FilledPanel::Edge::Groove), "Panel3", 357,
                   299, 194, 20);
    Label5 = new QLabel("создать файл -->", Panel3);
    Label5->setObjectName("Label5");
    Label5->move(6, 4);
    paint(Label5, colors::green, Qt::white);
    // The strip paints the green, bevel and all.
    Label5->setAutoFillBackground(false);
    Label5->adjustSize();
    SpeedButton1 =
        place(conversionButton(Panel3, "SpeedButton1", "jpg"), "SpeedButton1", 106, 0, 26, 18);
    SpeedButton3 =
        place(conversionButton(Panel3, "SpeedButton3", "emf"), "SpeedButton3", 133, 0, 26, 18);
    SpeedButton2 =
        place(conversionButton(Panel3, "SpeedButton2", "ico"), "SpeedButton2", 160, 0, 26, 18);
    SpeedButton2->setToolTip("Иконка 32х32 с левого верхнего угла");
    Panel3->hide();

    GroupBox3 = place(new FramedGroupBox({}, 6, Panel1), "GroupBox3", 356, 321, 195, 60);
    Label1 = new QLabel("Помощь", GroupBox3);
    Label1->setObjectName("Label1");
    Label1->move(9, 44);
    Label1->setCursor(Qt::PointingHandCursor);
    paint(Label1, colors::maroon, Qt::white);
    Label1->adjustSize();

    ProgressBar1 = place(new QProgressBar(Panel1), "ProgressBar1", 0, 1, 150, 11);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    Panel4 = place(new QLabel("Проигрывание звука...", this), "Panel4", 358, 283, 193, 20);
    Panel4->setAlignment(Qt::AlignCenter);
    paint(Panel4, colors::navy, Qt::white);
    Panel4->hide();

    // Screen readers name fields and lists after their group box, or after
    // what they hold where they have none.
    Edit1->setAccessibleName(GroupBox2->title());
    SpinEdit1->setAccessibleName(Label4->text());
    DriveComboBox1->setAccessibleName("Диск");
    DirectoryListBox1->setAccessibleName("Папки");
    FileListBox1->setAccessibleName("Файлы");
    Image1->setAccessibleName("Просмотр");
    Image2->setAccessibleName("Kadrix");
    ProgressBar1->setAccessibleName("Запись");
    GroupBox1->setAccessibleName("Съёмка");
    GroupBox4->setAccessibleName("Режим");
    Panel2->setAccessibleName("Клип");
    Panel3->setAccessibleName(Label5->text());

    createMenusAndTimers();
}

void TMain::createMenusAndTimers() {
    auto menu = [this](const char* name) {
        auto* popup = new QMenu(this);
        popup->setObjectName(name);
        return popup;
    };
    auto item = [](QMenu* popup, const char* name, const QString& caption) {
        QAction* action = popup->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    PopupMenu1 = menu("PopupMenu1");
    N1 = item(PopupMenu1, "N1", "Выход");
    PopupMenu2 = menu("PopupMenu2");
    N3 = item(PopupMenu2, "N3", "Переименовать");
    N4 = item(PopupMenu2, "N4", "Удалить");
    N2 = item(PopupMenu2, "N2", "Отправить по почте");
    // Shown in the "avi" mode only (applyMode).
    N8 = item(PopupMenu2, "N8", "Сохранить как MP4");
    N9 = item(PopupMenu2, "N9", "Сохранить как WebM");
    N10 = item(PopupMenu2, "N10", "Сохранить как GIF");
    for (QAction* exportItem : {N8, N9, N10})
        exportItem->setVisible(false);
    PopupMenu3 = menu("PopupMenu3");
    N5 = item(PopupMenu3, "N5", "Копировать");
    PopupMenu4 = menu("PopupMenu4");
    N6 = item(PopupMenu4, "N6", "Создать папку");
    N7 = item(PopupMenu4, "N7", "Удалить папку");
    const std::pair<QWidget*, QMenu*> contextMenus[] = {
        {FileListBox1, PopupMenu2}, {Image1, PopupMenu3}, {DirectoryListBox1, PopupMenu4}};
    for (const auto& [widget, popup] : contextMenus) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, popup,
                [widget, popup](const QPoint& at) { popup->popup(widget->mapToGlobal(at)); });
    }

    auto timer = [this](const char* name, int interval) {
        auto* t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(interval);
        return t;
    };
    Timer1 = timer("Timer1", frameIntervalMs);
    Timer2 = timer("Timer2", 10000);
    Timer3 = timer("Timer3", 200);
    Timer4 = timer("Timer4", 2000);
}

} // namespace kadrix
