// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/directory_list_box.h"

#include "browser/file_list_box.h"
#include "browser/list_glyphs.h"
#include "core/error.h"
#include "core/naming/folder_listing.h"
#include "core/path.h"
#include "core/working_folder.h"
#include "platform/mountinfo.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <filesystem>

namespace kadrix {

namespace {

constexpr int depthRole = Qt::UserRole + 1;
constexpr int indentStep = 8;

// Shifts each entry right by its depth, so the list reads as a tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex& index) {
        return index.data(depthRole).toInt() * indentStep;
    }
};

// folder made absolute against the working directory, without ".", ".."
// or a trailing "/".
std::string absoluteFolder(const std::string& folder) {
    std::filesystem::path path(folder);
    if (path.is_relative()) {
        path = std::filesystem::path(workingFolderFor(folder)) / path;
    }
    std::string normal = path.lexically_normal().string();
    if (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

} // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent)
    : QListWidget(parent), openIcon_(glyphs::drawn(glyphs::Glyph::OpenFolder)),
      closedIcon_(glyphs::drawn(glyphs::Glyph::ClosedFolder)) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentDelegate(this));
}

void DirectoryListBox::setDirectory(const std::string& folder) {
    const std::string target = absoluteFolder(folder);
    if (target == directory_)
        return;
    const std::vector<std::string> subfolders = listSubfolders(target);
    if (fileList_)
        fileList_->setDirectory(target);
    fill(target, subfolders);
    directory_ = target;
    emit directoryChanged();
}

void DirectoryListBox::reload() {
    if (!directory_.empty())
        fill(directory_, listSubfolders(directory_));
}

void DirectoryListBox::setDrive(const std::string& mountPoint) {
    std::vector<std::string> mountPoints;
    for (Volume& volume : volumes_())
        mountPoints.push_back(std::move(volume.mountPoint));
    const std::string currentVolume = containingMountPoint(directory_, mountPoints);
    if (currentVolume == mountPoint)
        return;
    if (!currentVolume.empty())
        lastFolderOnVolume_[currentVolume] = directory_;
    const auto last = lastFolderOnVolume_.find(mountPoint);
    if (last != lastFolderOnVolume_.end()) {
        try {
            setDirectory(last->second);
            return;
        } catch (const Error&) {
            // That folder has gone since: the volume's root will do.
            lastFolderOnVolume_.erase(last);
        }
    }
    setDirectory(mountPoint);
}

std::string DirectoryListBox::selectedFolder() const {
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected())
            return folderOf(*item(row));
    }
    return {};
}

std::string DirectoryListBox::folderOf(const QListWidgetItem& item) {
    const QByteArray folder = item.data(Qt::UserRole).toByteArray();
    return std::string(folder.constData(), static_cast<std::size_t>(folder.size()));
}

void DirectoryListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void DirectoryListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (const QListWidgetItem* entry = itemAt(event->position().toPoint()))
        openEntry(*entry);
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentItem()) {
        event->accept();
        openEntry(*currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryListBox::openEntry(const QListWidgetItem& entry) {
    // Caught here rather than in the application's event dispatch: an
    // exception unwinding through Qt's own frames, built without exception
    // support, skips their cleanups (and leaks).
    try {
        setDirectory(folderOf(entry));
    } catch (const std::exception& error) {
        emit errorOccurred(QString::fromStdString(error.what()));
    }
}

void DirectoryListBox::fill(const std::string& folder, const std::vector<std::string>& subfolders) {
    clear();
    addEntry("/", "/", 0, openIcon_);
    std::string path = "/";
    int depth = 0;
    for (const auto& component : std::filesystem::path(folder).relative_path()) {
        path = joinPath(path, component.string());
        addEntry(path, component.string(), ++depth, openIcon_);
    }
    setCurrentRow(count() - 1);
    for (const std::string& name : subfolders)
        addEntry(joinPath(folder, name), name, depth + 1, closedIcon_);
}

void DirectoryListBox::addEntry(const std::string& folder, std::string_view name, int depth,
                                const QIcon& icon) {
    auto* entry = new QListWidgetItem(icon, QString::fromStdString(displayName(name)), this);
    entry->setData(Qt::UserRole, QByteArray(folder.data(), static_cast<qsizetype>(folder.size())));
    entry->setData(depthRole, depth);
}

} // namespace kadrix
