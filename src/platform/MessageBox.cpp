#include "platform/MessageBox.h"

#include <cstdio>

namespace tombolix {

namespace {
// Without a window (the command-line tool), a message goes to standard error
// and the question takes its safe answer.
class ConsolePresenter : public MessageBox::Presenter {
public:
    MessageBox::Answer present(const QString& caption, const QString& text, MessageBox::Icon,
                               MessageBox::Buttons buttons) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        switch (buttons) {
        case MessageBox::Buttons::Ok:
            return MessageBox::Answer::Ok;
        case MessageBox::Buttons::YesNo:
            return MessageBox::Answer::No;
        case MessageBox::Buttons::OkCancel:
            return MessageBox::Answer::Cancel;
        }
        return MessageBox::Answer::Cancel;
    }
};

std::shared_ptr<MessageBox::Presenter>& current() {
    static std::shared_ptr<MessageBox::Presenter> presenter = std::make_shared<ConsolePresenter>();
    return presenter;
}
} // namespace

MessageBox::Answer MessageBox::show(const QString& caption, const QString& text, Icon icon,
                                    Buttons buttons) {
    return current()->present(caption, text, icon, buttons);
}

std::shared_ptr<MessageBox::Presenter>
MessageBox::setPresenter(std::shared_ptr<Presenter> presenter) {
    auto previous = current();
    current() = presenter ? std::move(presenter) : std::make_shared<ConsolePresenter>();
    return previous;
}

} // namespace tombolix
