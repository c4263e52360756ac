#include "support/ScriptedSeams.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <stdexcept>

namespace tombolix::test {

namespace {
void write(QStringList* log, const QString& entry) {
    if (log)
        log->append(entry);
}
} // namespace

void ScriptedEventPump::processEvents() {
    if (++calls_ > limit)
        throw std::runtime_error("processEvents called without end");
    write(log_, QStringLiteral("events"));
    // Take what is due first: an action may let events run again itself.
    std::vector<Action> due;
    for (auto it = pending_.begin(); it != pending_.end();) {
        const bool ready =
            it->call > 0 ? it->call == calls_ : sleeps(it->sleepMs) >= it->sleepCount;
        if (ready) {
            due.push_back(std::move(it->action));
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    for (Action& action : due)
        action();
}

void ScriptedEventPump::sleep(int milliseconds) {
    int total = 0;
    for (const auto& [ms, count] : sleeps_)
        total += count;
    if (total >= limit)
        throw std::runtime_error("sleep called without end");
    if (onSleep)
        onSleep(milliseconds);
    write(log_, QStringLiteral("sleep %1").arg(milliseconds));
    ++sleeps_[milliseconds];
}

void ScriptedEventPump::atCall(int call, Action action) {
    pending_.push_back({call, 0, 0, std::move(action)});
}

void ScriptedEventPump::afterSleeps(int milliseconds, int count, Action action) {
    pending_.push_back({0, milliseconds, count, std::move(action)});
}

int ScriptedEventPump::sleeps(int milliseconds) const {
    const auto it = sleeps_.find(milliseconds);
    return it == sleeps_.end() ? 0 : it->second;
}

int ReplayedRandom::index(int count) {
    counts_.push_back(count);
    if (count <= 0) {
        ADD_FAILURE() << "a random index was asked of an empty list";
        return 0;
    }
    int value;
    if (const auto always = always_.find(count); always != always_.end()) {
        value = always->second;
    } else if (auto queue = byCount_.find(count);
               queue != byCount_.end() && !queue->second.empty()) {
        value = queue->second.front();
        queue->second.pop_front();
    } else if (!general_.empty()) {
        value = general_.front();
        general_.pop_front();
    } else {
        return int(std::uniform_int_distribution<int>(0, count - 1)(generator_));
    }
    if (value < 0 || value >= count) {
        ADD_FAILURE() << "scripted index " << value << " is outside 0.." << count - 1;
        return 0;
    }
    return value;
}

void ReplayedRandom::scriptForCount(int count, std::vector<int> values) {
    auto& queue = byCount_[count];
    queue.insert(queue.end(), values.begin(), values.end());
}

void RecordingMediaPlayer::setUrl(const QString& path) {
    urls << path;
    write(log_, QStringLiteral("url ") + QFileInfo(path).fileName());
}

void RecordingMediaPlayer::close() {
    write(log_, QStringLiteral("close"));
}

void RecordingMediaPlayer::hide() {
    write(log_, QStringLiteral("hide"));
}

void RecordingDrawScreen::setRollingNumber(const QString& text) {
    rollingNumber = text;
}

void RecordingDrawScreen::setRollingName(const QString& text) {
    rollingName = text;
    rollingNames << text;
}

void RecordingDrawScreen::setStatusLine(const QString& text) {
    statusLine = text;
    statusLines << text;
    write(log_, QStringLiteral("status ") + text);
}

void RecordingDrawScreen::setDrawCommandsEnabled(bool enabled) {
    commandsEnabled = enabled;
    write(log_, enabled ? QStringLiteral("commands on") : QStringLiteral("commands off"));
}

void RecordingDrawScreen::clearWinnerPanel() {
    labels.clear();
    ++panelClears;
    write(log_, QStringLiteral("clear panel"));
}

void RecordingDrawScreen::addWinnerLabel(const QString& number, const QString& name, int perDraw,
                                         int winnerIndex, const QString& department) {
    labels.push_back({number, name, perDraw, winnerIndex, department});
    write(log_, QStringLiteral("label %1 %2").arg(winnerIndex).arg(number));
}

void RecordingDrawScreen::showNow() {
    ++repaints;
    write(log_, QStringLiteral("showNow"));
}

} // namespace tombolix::test
