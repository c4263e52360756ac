#pragma once

#include <QString>

// The program's contact points with time, chance and sound. The program has a
// real implementation of each; tests put in their own.
namespace tombolix {

// "Let pending events run" and the blocking pauses of the draw.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
    virtual void sleep(int milliseconds) = 0;
};

// A uniformly distributed index in 0..count-1 (count > 0).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual int index(int count) = 0;
};

// One hidden media player: setting the URL starts that file at once from its
// beginning (an empty URL falls silent); close stops it and frees the file.
// A missing or unplayable file plays nothing and reports nothing.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual void setUrl(const QString& path) = 0;
    virtual void close() = 0;
    virtual void hide() = 0;
};

// The program's pump: the application's event loop and real sleeps.
class QtEventPump : public EventPump {
public:
    void processEvents() override;
    void sleep(int milliseconds) override;
};

// The program's random index: OS entropy, rejection-sampled so every index
// is equally likely.
class SystemRandomSource : public RandomSource {
public:
    int index(int count) override;
};

} // namespace tombolix
