#pragma once

#include "platform/ProgramDir.h"
#include "platform/TextCodec.h"
#include "screen/StartFrm.h"
#include "support/RecordingMessageBox.h"
#include "support/ScriptedSeams.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <memory>

namespace tombolix::test {

// A program directory with a keyed database, a small background picture and
// a settings file of the test's choosing, and the draw screen made on it with
// scripted seams.
struct ScreenRig {
    ScreenRig() {
        QImage picture(64, 36, QImage::Format_RGB32);
        picture.fill(Qt::darkRed);
        picture.save(db.dir() + "backgroup.jpg", "jpg");
    }

    // The settings file as the program keeps it: GBK text.
    void writeSettings(const QString& lines) {
        QFile file(db.dir() + "config.ini");
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(TextCodec::encode("[config]\r\n" + lines));
    }

    TStartFrm& open() {
        db.connection().close(); // the screen opens its own connection
        form = std::make_unique<TStartFrm>(StartFrmServices{&sounds, &music, &events, &random});
        return *form;
    }

    TestDatabase db;
    std::shared_ptr<RecordingMessageBox> boxes = RecordingMessageBox::install();
    QStringList log;
    RecordingMediaPlayer sounds{&log};
    RecordingMediaPlayer music{&log};
    ScriptedEventPump events{&log};
    ReplayedRandom random;
    std::unique_ptr<TStartFrm> form;
};

} // namespace tombolix::test
