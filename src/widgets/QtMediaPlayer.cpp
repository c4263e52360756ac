#include "widgets/QtMediaPlayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace tombolix {

QtMediaPlayer::QtMediaPlayer(QObject* parent)
    : QObject(parent), player_(new QMediaPlayer(this)), output_(new QAudioOutput(this)) {
    output_->setVolume(0.5f);
    player_->setAudioOutput(output_);
    player_->setLoops(1);
}

void QtMediaPlayer::setUrl(const QString& path) {
    player_->stop();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        player_->setSource(QUrl());
        return;
    }
    player_->setSource(QUrl::fromLocalFile(path));
    player_->play();
}

void QtMediaPlayer::close() {
    player_->stop();
    player_->setSource(QUrl());
}

} // namespace tombolix
