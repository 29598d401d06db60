// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/viewer_window.h"
#include "ui/handler.h"

#include "convert/caption.h"
#include "convert/captioned_resize.h"
#include "convert/color_box.h"
#include "convert/own_source.h"
#include "convert/picture_pixels.h"
#include "core/convert/jpeg_encoder.h"
#include "core/file.h"
#include "core/integer_text.h"
#include "core/path.h"
#include "ui/bmp_picture.h"
#include "ui/media_player_bar.h"

#include <QComboBox>
#include <QEvent>
#include <QEventLoop>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>
#include <exception>

namespace kadrix {

namespace {

// The window's size when it is neither maximised nor minimised.
constexpr QSize normalSize(606, 492);

// The picture file as the viewer paints and scales it, in 32-bit pixels.
QImage readBitmapFile(const std::string& path) {
    InputFile file(path);
    return decodeBmpPicture(file);
}

} // namespace

TVid::TVid(ViewerServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(std::move(services)) {
    setObjectName("TVid");
    setWindowTitle("Просмотр изображения");
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(128, 0, 0));
    setPalette(palette);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    createControls();

    QRect normal(QPoint(), normalSize);
    normal.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
    setGeometry(normal);
    setWindowState(Qt::WindowMaximized);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { runHandler(&TVid::BitBtn1Click); });
    connect(ColorBox1, &QComboBox::currentIndexChanged, this,
            [this] { runHandler(&TVid::ColorBox1Change); });
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TVid::noteFocusWindow);
}

TVid::~TVid() = default;

void TVid::openPicture(const std::string& path) {
    selectedFile_ = path;
    applyLayout(Layout::Picture);
    ShowModal();
}

void TVid::openClip(const std::string& path) {
    applyLayout(Layout::Clip);
    MediaPlayer2->open(path, Panel1);
    ShowModal();
}

void TVid::closeClip() {
    MediaPlayer2->close();
}

void TVid::applyLayout(Layout layout) {
    layout_ = layout;
    const bool clip = layout == Layout::Clip;
    GroupBox1->setVisible(clip);
    GroupBox2->setVisible(!clip);
    GroupBox3->setVisible(!clip);
    Panel1->setVisible(clip);
}

void TVid::ShowModal() {
    if (windowState() & Qt::WindowMinimized)
        setWindowState(Qt::WindowNoState);
    // A shown window starts from a bare surface, as it was never painted on.
    clearSurface();
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
}

void TVid::FormActivate() {
    const QRect outer = frameGeometry();
    if (layout_ == Layout::Clip)
        GroupBox1->move(0, playerGroupTop(outer.height()));
    if (layout_ != Layout::Picture)
        return;
    GroupBox3->move(0, captionGroupTop(outer.height()));
    GroupBox2->move(0, conversionGroupTop(outer.height()));
    const QImage picture = readBitmapFile(selectedFile_);
    origin_ =
        kadrix::pictureOrigin(outer.width(), outer.height(), picture.width(), picture.height());
    MaskEdit1->setText(QString::number(picture.height()));
    MaskEdit2->setText(QString::number(picture.width()));
    sourceHeight_ = picture.height();
    showPicture(picture);
}

void TVid::BitBtn1Click() {
    const int height = parseInteger(MaskEdit1->displayText().trimmed().toStdString());
    const QRect outer = frameGeometry();
    if (height > outer.height()) {
        services_.showMessage("Новые размеры превышают размеры экрана!", this);
        return;
    }
    const std::string output = replaceExtension(selectedFile_, ".JPG");
    // A picture named "a.JPG" would be replaced by its own JPEG.
    if (const QString refusal = ownSourceRefusal(selectedFile_, output); !refusal.isEmpty()) {
        services_.showMessage(refusal, this);
        return;
    }
    // The file is created before anything else is done, so that a folder
    // that takes no file is reported before the surface changes. The
    // picture there now stays until the new one is complete.
    ReplacementFile jpeg(output);
    clearSurface();
    const Caption caption{Edit1->text(), Edit1->palette().color(QPalette::Text),
                          sourceHeight_ - captionCellHeight};
    const QImage resized = captionedResize(readBitmapFile(selectedFile_), caption, height);
    origin_ =
        kadrix::pictureOrigin(outer.width(), outer.height(), resized.width(), resized.height());
    MaskEdit1->setText(QString::number(resized.height()));
    MaskEdit2->setText(QString::number(resized.width()));
    showPicture(resized);
    if (!resized.isNull())
        jpeg.out().write(encodeJpeg(PicturePixels(resized).view()));
    jpeg.commit();
}

void TVid::ColorBox1Change() {
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Text, ColorBox1->selectedColor());
    Edit1->setPalette(palette);
}

void TVid::FormDblClick() {
    close();
}

void TVid::Panel1DblClick() {
    close();
}

void TVid::runHandler(void (TVid::*handler)()) {
    kadrix::runHandler([this, handler] { (this->*handler)(); },
                       [this](const QString& text) {
                           const QScopedValueRollback reporting(reportingError_, true);
                           services_.showErrorReport(text, this);
                       });
}

void TVid::showPicture(const QImage& picture) {
    shown_ = QPixmap::fromImage(picture);
    update();
}

void TVid::clearSurface() {
    shown_ = QPixmap();
    update();
}

void TVid::noteFocusWindow(QWindow* focus) {
    // Drop-down lists take the focus without the viewer losing its place as
    // the active window.
    if (focus && isVisible() && focus != windowHandle() && focus->type() != Qt::Popup &&
        !reportingError_)
        activateOnReturn_ = true;
}

void TVid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && activateOnReturn_) {
        activateOnReturn_ = false;
        runHandler(&TVid::FormActivate);
    }
    QWidget::changeEvent(event);
}

void TVid::showEvent(QShowEvent* event) {
    activateOnReturn_ = true;
    QWidget::showEvent(event);
}

void TVid::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (modalLoop_ && !event->spontaneous())
        modalLoop_->quit();
}

void TVid::paintEvent(QPaintEvent*) {
    if (shown_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(origin_.x, origin_.y, shown_);
}

void TVid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Panel1->setGeometry(rect());
}

void TVid::mouseDoubleClickEvent(QMouseEvent* event) {
    // Only the surface itself closes the viewer, not the group boxes on it.
    if (event->button() == Qt::LeftButton && childAt(event->position().toPoint()) == nullptr)
        runHandler(&TVid::FormDblClick);
}

bool TVid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel1 && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runHandler(&TVid::Panel1DblClick);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kadrix
