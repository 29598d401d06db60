#include "app/media_player_bar.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace kadrix {

MediaPlayerBar::MediaPlayerBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    const std::pair<QStyle::StandardPixmap, const char*> buttons[] = {
        {QStyle::SP_MediaPlay, "Воспроизвести"}, {QStyle::SP_MediaPause, "Пауза"},
        {QStyle::SP_MediaStop, "Стоп"},          {QStyle::SP_MediaSkipBackward, "В начало"},
        {QStyle::SP_MediaSeekForward, "Шаг"},    {QStyle::SP_MediaSeekBackward, "Назад"}};
    for (const auto& [icon, name] : buttons) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(icon));
        button->setAccessibleName(name);
        button->setToolTip(name);
        button->setEnabled(false);
        row->addWidget(button);
        if (!play_)
            play_ = button;
    }
}

} // namespace kadrix
