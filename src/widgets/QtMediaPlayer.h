#pragma once

#include "platform/Seams.h"

#include <QObject>

class QMediaPlayer;
class QAudioOutput;

namespace tombolix {

// A hidden player on Qt Multimedia: starts at once, plays once, volume 50,
// silent and wordless on a missing or unplayable file.
class QtMediaPlayer : public QObject, public MediaPlayer {
public:
    explicit QtMediaPlayer(QObject* parent = nullptr);
    void setUrl(const QString& path) override;
    void close() override;
    void hide() override {}

private:
    QMediaPlayer* player_;
    QAudioOutput* output_;
};

} // namespace tombolix
