// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/name_dialog.h"

#include "browser/directory_list_box.h"
#include "browser/file_list_box.h"
#include "browser/typed_path.h"
#include "core/path.h"
#include "platform/file_operations.h"
#include "ui/colors.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

namespace kadrix {

namespace {

// The buttons' glyphs: a green tick and a red cross, drawn as thick strokes.
QIcon strokeGlyph(const QColor& color, const QList<QPolygonF>& strokes) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QPolygonF& stroke : strokes)
        painter.drawPolyline(stroke);
    return QIcon(pixmap);
}

QIcon tickGlyph() {
    return strokeGlyph(QColor(0, 160, 0), {QPolygonF({{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}})});
}

QIcon crossGlyph() {
    return strokeGlyph(
        Qt::red, {QPolygonF({{3.5, 3.5}, {12.5, 12.5}}), QPolygonF({{12.5, 3.5}, {3.5, 12.5}})});
}

QPushButton* glyphButton(QWidget* parent, const char* name, const QIcon& glyph, int left) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setGeometry(left, 40, 65, 25);
    button->setIcon(glyph);
    button->setCursor(Qt::PointingHandCursor);
    // Neither is the dialog's default button: Enter in the name field does
    // nothing.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// A name of nothing but blanks and control characters names no folder.
bool blank(const QString& name) {
    return std::all_of(name.begin(), name.end(),
                       [](QChar c) { return c.unicode() <= ' ' || c.isSpace(); });
}

// Why a typed file name cannot be taken, or nothing. A name whose last part
// begins with "." would hide the file: no list shows it.
QString refusalOfFileName(const QString& typed) {
    if (blank(typed))
        return "Имя файла не задано!";
    if (typed.section('/', -1).startsWith('.'))
        return "Имя файла не может начинаться с точки!";
    return {};
}

} // namespace

TRenameFileX::TRenameFileX(const NameDialogFields& fields, FileListBox& files,
                           DirectoryListBox& folders, NameDialogPrompts prompts,
                           QWidget* mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      fields_(fields), files_(files), folders_(folders), prompts_(std::move(prompts)),
      mainWindow_(mainWindow) {
    setObjectName("RenameFileX");
    setWindowTitle("Kadrix");
    setModal(true);
    setFixedSize(155, 86);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colors::maroon);
    setPalette(palette);
    setAutoFillBackground(true);

    GroupBox1 = new QGroupBox("Новое имя", this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(0, 0, 153, 73);
    GroupBox1->setStyleSheet("QGroupBox { color: white; }");
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(8, 16, 137, 21);
    Edit1->setAccessibleName(GroupBox1->title());
    BitBtn1 = glyphButton(GroupBox1, "BitBtn1", tickGlyph(), 8);
    BitBtn1->setAccessibleName("Принять");
    BitBtn2 = glyphButton(GroupBox1, "BitBtn2", crossGlyph(), 80);
    BitBtn2->setAccessibleName("Отменить");
}

bool TRenameFileX::showModalWith(const QString& name) {
    shown_ = name;
    Edit1->setText(name);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    const QScreen* screen =
        mainWindow_->screen() ? mainWindow_->screen() : QGuiApplication::primaryScreen();
    move(screen->availableGeometry().center() - rect().center());
    return exec() == QDialog::Accepted;
}

void TRenameFileX::BitBtn1Click() {
    switch (fields_.NameDialogMode) {
    case renameFileMode:
        renameFile();
        break;
    case createFolderMode:
        createFolder();
        break;
    default:
        close();
    }
}

void TRenameFileX::BitBtn2Click() {
    close();
}

void TRenameFileX::keyPressEvent(QKeyEvent* event) {
    // Neither button is the default or the cancel button: Enter and Escape
    // do nothing.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TRenameFileX::renameFile() {
    // A name left as shown keeps its own bytes: the field shows bytes that
    // are not UTF-8 as U+FFFD, and these must not find their way to the disk.
    const bool unchanged = Edit1->text() == shown_;
    if (!unchanged) {
        if (const QString refusal = refusalOfFileName(Edit1->text()); !refusal.isEmpty()) {
            prompts_.message(refusal, this);
            return;
        }
    }
    const std::string name = unchanged ? fields_.RenameSourceName : Edit1->text().toStdString();
    if (moveFileNoReplace(fields_.RenameSourcePath, joinPath(files_.directory(), name))) {
        files_.removeName(fields_.RenameSourceName);
        files_.insertName(name);
        QCoreApplication::processEvents();
        accept();
        return;
    }
    prompts_.message("Переименовать не удалось", this);
    close();
}

void TRenameFileX::createFolder() {
    const QString name = Edit1->text();
    if (blank(name)) {
        prompts_.message("Имя папки не задано!", this);
        return;
    }
    const std::string path = joinPath(fields_.NewFolderParent, name.toStdString());
    const QString shownPath = QString::fromStdString(path);
    if (folderExists(path)) {
        prompts_.message("Папка <" + shownPath + "> уже существует!", this);
        return;
    }
    if (!prompts_.question("Будет создана папка <" + shownPath + ">  Продолжить?", this)) {
        close();
        return;
    }
    if (const std::string reason = kadrix::createFolder(path); !reason.empty()) {
        // The system's own reason, with the dialog left open for another name.
        prompts_.message("Не удалось создать папку <" + shownPath +
                             ">: " + QString::fromLocal8Bit(reason),
                         this);
        return;
    }
    close();
    applyTypedPath(folders_, files_, path);
    mainWindow_->repaint();
    QCoreApplication::processEvents();
    close();
}

} // namespace kadrix
