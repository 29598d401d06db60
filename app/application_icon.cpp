// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application_icon.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace kadrix {

namespace {

// Each size is read from its file when it is asked for, and none is kept.
// The window manager takes all six sizes once, when the window's icon is set.
// Keeping their pixels for the rest of the run (a third of a megabyte, most
// of it the 256 x 256 one) would serve nothing. The notification area asks
// again only when it repaints the icon. Every mode shows the normal picture:
// the icon is never shown disabled.
class IconFiles final : public QIconEngine {
public:
    // (side, path) pairs, smallest side first.
    explicit IconFiles(QList<std::pair<int, QString>> files) : files_(std::move(files)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        // Not QPixmap(path): that keeps the pixels in Qt's pixmap cache. A
        // reader told the format also spares loading every image plug-in.
        QImageReader reader(nearest(size).second, "png");
        reader.setAutoDetectImageFormat(false);
        QPixmap picture = QPixmap::fromImage(reader.read());
        if (picture.width() > size.width() || picture.height() > size.height())
            picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return picture;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        QRect target(QPoint(), picture.size() / ratio);
        target.moveCenter(rect.center());
        painter->drawPixmap(target, picture);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = nearest(size).first;
        return QSize(side, side).boundedTo(size);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const auto& file : files_)
            sizes << QSize(file.first, file.first);
        return sizes;
    }

    QIconEngine* clone() const override { return new IconFiles(files_); }
    QString key() const override { return QStringLiteral("kadrix-icon-files"); }

private:
    // The smallest file at least as big as asked for, else the biggest.
    const std::pair<int, QString>& nearest(const QSize& size) const {
        for (const auto& file : files_)
            if (file.first >= size.width() && file.first >= size.height())
                return file;
        return files_.back();
    }

    QList<std::pair<int, QString>> files_;
};

// Watches a window for its first exposure and sets the icon after it, once
// the exposed window has been painted.
class IconOnExpose final : public QObject {
public:
    IconOnExpose(QWindow& window, std::function<QIcon()> icon)
        : QObject(&window), icon_(std::move(icon)) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                QApplication::setWindowIcon(icon_());
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<QIcon()> icon_;
};

} // namespace

QIcon applicationIcon(const QString& shareFolder) {
    // Looked up by path, not through the icon theme, so that a copy
    // installed under any prefix shows its own icon.
    const QDir hicolor(shareFolder + "/icons/hicolor");
    QList<std::pair<int, QString>> files;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        QString path = hicolor.filePath(QString("%1x%1/apps/%2.png").arg(size).arg(KADRIX_APP_ID));
        if (QFileInfo::exists(path))
            files.emplace_back(size, std::move(path));
    }
    if (files.isEmpty())
        files.emplace_back(32, QStringLiteral(":/kadrix/kadrix.png"));
    return QIcon(new IconFiles(std::move(files)));
}

QString installedShareFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share");
}

void setWindowIconWhenExposed(QWidget& window, std::function<QIcon()> icon) {
    if (QWindow* handle = window.windowHandle())
        new IconOnExpose(*handle, std::move(icon));
    else
        QApplication::setWindowIcon(icon());
}

} // namespace kadrix
