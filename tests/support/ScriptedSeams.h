#pragma once

#include "engine/DrawEngine.h"
#include "platform/Seams.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <vector>

namespace tombolix::test {

// "Let pending events run" runs the actions a test queued for that moment;
// sleeps pass at once. Each call is written to the shared log.
class ScriptedEventPump : public EventPump {
public:
    using Action = std::function<void()>;

    explicit ScriptedEventPump(QStringList* log = nullptr) : log_(log) {}

    void processEvents() override;
    void sleep(int milliseconds) override;

    // Runs inside the given (1-based) call of processEvents.
    void atCall(int call, Action action);
    // Runs inside the first processEvents after the count-th pause of that
    // length, e.g. a nested start command after three rolling steps.
    void afterSleeps(int milliseconds, int count, Action action);
    // Sees every pause as it starts; for looking, not for events.
    std::function<void(int milliseconds)> onSleep;

    int calls() const { return calls_; }
    int sleeps(int milliseconds) const;

    // A loop that never ends fails the test with an exception instead.
    int limit = 500000;

private:
    struct Pending {
        int call = 0;       // or
        int sleepMs = 0;    // with
        int sleepCount = 0; // reached
        Action action;
    };
    QStringList* log_;
    int calls_ = 0;
    std::map<int, int> sleeps_;
    std::vector<Pending> pending_;
};

// Replays scripted indexes; a script for one list size wins over the general
// one, and past both a seeded generator takes over. Every size asked is kept.
class ReplayedRandom : public RandomSource {
public:
    int index(int count) override;

    void script(std::vector<int> values) {
        general_.insert(general_.end(), values.begin(), values.end());
    }
    void scriptForCount(int count, std::vector<int> values);
    // Every index asked for a list of this size is `value`.
    void alwaysForCount(int count, int value) { always_[count] = value; }
    void seed(unsigned value) { generator_.seed(value); }

    const std::vector<int>& counts() const { return counts_; }

private:
    std::deque<int> general_;
    std::map<int, std::deque<int>> byCount_;
    std::map<int, int> always_;
    std::vector<int> counts_;
    std::mt19937 generator_{20240601u};
};

// Writes "close", "url <file name>" and "hide" to the log and keeps the URLs.
class RecordingMediaPlayer : public MediaPlayer {
public:
    explicit RecordingMediaPlayer(QStringList* log = nullptr) : log_(log) {}
    void setUrl(const QString& path) override;
    void close() override;
    void hide() override;

    QStringList urls; // full paths, in order

private:
    QStringList* log_;
};

// Keeps what the draw put on the screen, and its history.
class RecordingDrawScreen : public DrawScreen {
public:
    struct Label {
        QString number;
        QString name;
        int perDraw;
        int winnerIndex;
        QString department;
    };

    explicit RecordingDrawScreen(QStringList* log = nullptr) : log_(log) {}

    void setRollingNumber(const QString& text) override;
    void setRollingName(const QString& text) override;
    void setStatusLine(const QString& text) override;
    void setDrawCommandsEnabled(bool enabled) override;
    void clearWinnerPanel() override;
    void addWinnerLabel(const QString& number, const QString& name, int perDraw, int winnerIndex,
                        const QString& department) override;
    void showNow() override;

    QString rollingNumber;
    QString rollingName;
    QString statusLine;
    QStringList rollingNames; // every text the rolling name took
    QStringList statusLines;
    bool commandsEnabled = true;
    int panelClears = 0;
    int repaints = 0;
    std::vector<Label> labels; // the panel as it stands

private:
    QStringList* log_;
};

// The four seams of a draw sharing one log.
struct DrawSeams {
    QStringList log;
    ScriptedEventPump events{&log};
    ReplayedRandom random;
    RecordingMediaPlayer sounds{&log};
    RecordingDrawScreen screen{&log};
};

} // namespace tombolix::test
