// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/file_list_box.h"

#include "browser/list_glyphs.h"
#include "core/naming/folder_listing.h"
#include "core/working_folder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <numeric>

namespace kadrix {

namespace {

// Entries hold their text only; the raw name is kept beside it where the text
// shows it escaped.
void keepRawName(QListWidgetItem& entry, const std::string& name) {
    entry.setData(Qt::UserRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

// The text among texts that is widest on screen. Measuring every one of
// thousands would take long; the widest is among the longest.
QString widestOf(const QStringList& texts, const QFontMetrics& metrics) {
    std::vector<qsizetype> rows(static_cast<std::size_t>(texts.size()));
    std::iota(rows.begin(), rows.end(), qsizetype{0});
    const auto longest = rows.begin() + std::min<std::ptrdiff_t>(16, std::ssize(rows));
    std::partial_sort(rows.begin(), longest, rows.end(),
                      [&](qsizetype a, qsizetype b) { return texts[a].size() > texts[b].size(); });
    QString widest;
    for (auto row = rows.begin(); row != longest; ++row) {
        if (metrics.horizontalAdvance(texts[*row]) > metrics.horizontalAdvance(widest))
            widest = texts[*row];
    }
    return widest;
}

} // namespace

// How the entries look. Each gets the glyph of its kind as it is drawn (a
// glyph stored in each of thousands of entries would make the list several
// times slower to fill), and all are as wide as the widest: the list measures
// only its first entry, which would cut longer names off without a scroll bar.
class FileListBox::EntryLook : public QStyledItemDelegate {
public:
    explicit EntryLook(FileListBox* list)
        : QStyledItemDelegate(list), picture_(glyphs::drawn(glyphs::Glyph::Picture)),
          clip_(glyphs::drawn(glyphs::Glyph::Clip)), sound_(glyphs::drawn(glyphs::Glyph::Sound)),
          other_(glyphs::drawn(glyphs::Glyph::OtherFile)) {}

    const QIcon& glyphFor(const QString& entry) const {
        if (entry.endsWith(".bmp", Qt::CaseInsensitive))
            return picture_;
        if (entry.endsWith(".avi", Qt::CaseInsensitive))
            return clip_;
        if (entry.endsWith(".wav", Qt::CaseInsensitive))
            return sound_;
        return other_;
    }

    QString widest;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        const QSize own = QStyledItemDelegate::sizeHint(option, index);
        item.text = widest;
        const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
        return own.expandedTo(
            style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), item.widget));
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = glyphFor(option->text);
        option->decorationSize = QSize(glyphs::size, glyphs::size);
    }

private:
    QIcon picture_;
    QIcon clip_;
    QIcon sound_;
    QIcon other_;
};

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent), look_(new EntryLook(this)) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(glyphs::size, glyphs::size));
    // Measuring one entry for all keeps a list of thousands fast to fill.
    setUniformItemSizes(true);
    setItemDelegate(look_);
    connect(this, &QListWidget::itemClicked, this, &FileListBox::entryClicked);
    connect(this, &QListWidget::itemDoubleClicked, this, &FileListBox::entryOpened);
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    const QListWidgetItem* before = currentItem();
    QListWidget::keyPressEvent(event);
    if (currentItem() && currentItem() != before)
        emit entryClicked();
    else if (currentItem() && currentItem()->isSelected() &&
             (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter))
        emit entryOpened();
}

void FileListBox::setDirectory(const std::string& folder) {
    if (folder != directory_)
        read(folder, mask_);
}

void FileListBox::setMask(const std::string& mask) {
    if (mask == mask_)
        return;
    if (directory_.empty())
        mask_ = mask;
    else
        read(directory_, mask);
}

void FileListBox::reload() {
    if (!directory_.empty())
        read(directory_, mask_);
}

void FileListBox::read(const std::string& folder, const std::string& mask) {
    const std::vector<std::string> names = listFiles(folder, mask);
    checkFolderCanBeEntered(folder);
    // Nothing can fail from here on, so a failure above leaves all as it was.
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(names.size()));
    std::vector<int> escapedRows;
    for (const std::string& name : names) {
        const std::string shown = displayName(name);
        if (shown != name)
            escapedRows.push_back(static_cast<int>(texts.size()));
        texts << QString::fromStdString(shown);
    }
    look_->widest = widestOf(texts, fontMetrics());
    clear();
    // All in one insertion: one at a time takes several times as long.
    addItems(texts);
    for (const int row : escapedRows)
        keepRawName(*item(row), names[static_cast<std::size_t>(row)]);
    directory_ = folder;
    mask_ = mask;
    emit listRead();
}

std::string FileListBox::selectedName() const {
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected())
            return nameOf(*item(row));
    }
    return {};
}

std::vector<std::string> FileListBox::names() const {
    std::vector<std::string> all;
    all.reserve(static_cast<std::size_t>(count()));
    for (int row = 0; row < count(); ++row)
        all.push_back(nameOf(*item(row)));
    return all;
}

std::string FileListBox::nameOf(const QListWidgetItem& item) {
    const QVariant raw = item.data(Qt::UserRole);
    const QByteArray name = raw.isValid() ? raw.toByteArray() : item.text().toUtf8();
    return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}

void FileListBox::insertName(const std::string& name) {
    // The entries are in display order: find the first that sorts after name.
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (userCollation().less(nameOf(*item(middle)), name))
            low = middle + 1;
        else
            high = middle;
    }
    const std::string shown = displayName(name);
    auto* entry = new QListWidgetItem(QString::fromStdString(shown));
    if (shown != name)
        keepRawName(*entry, name);
    look_->widest = widestOf({look_->widest, entry->text()}, fontMetrics());
    insertItem(low, entry);
}

void FileListBox::removeName(const std::string& name) {
    for (int row = 0; row < count(); ++row) {
        if (nameOf(*item(row)) == name) {
            delete takeItem(row);
            break;
        }
    }
    clearSelection();
    setCurrentItem(nullptr);
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void FileListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListWidget::mouseReleaseEvent(event);
}

const QIcon& FileListBox::glyphFor(const QString& entry) const {
    return look_->glyphFor(entry);
}

} // namespace kadrix
