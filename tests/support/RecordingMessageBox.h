#pragma once

#include "platform/MessageBox.h"

#include <QString>
#include <deque>
#include <memory>
#include <vector>

namespace tombolix::test {

// Records every message box and answers from a script (Ok/Yes by default);
// installed for the lifetime of the object.
class RecordingMessageBox : public MessageBox::Presenter {
public:
    struct Shown {
        QString caption;
        QString text;
        MessageBox::Icon icon;
        MessageBox::Buttons buttons;
    };

    static std::shared_ptr<RecordingMessageBox> install();

    MessageBox::Answer present(const QString& caption, const QString& text, MessageBox::Icon icon,
                               MessageBox::Buttons buttons) override;

    void answerNext(MessageBox::Answer answer) { answers_.push_back(answer); }
    const std::vector<Shown>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    std::vector<Shown> shown_;
    std::deque<MessageBox::Answer> answers_;
};

} // namespace tombolix::test
