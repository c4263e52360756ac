#include "support/RecordingMessageBox.h"

namespace tombolix::test {

std::shared_ptr<RecordingMessageBox> RecordingMessageBox::install() {
    auto presenter = std::make_shared<RecordingMessageBox>();
    MessageBox::setPresenter(presenter);
    return presenter;
}

MessageBox::Answer RecordingMessageBox::present(const QString& caption, const QString& text,
                                                MessageBox::Icon icon,
                                                MessageBox::Buttons buttons) {
    shown_.push_back({caption, text, icon, buttons});
    if (!answers_.empty()) {
        const auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return buttons == MessageBox::Buttons::YesNo ? MessageBox::Answer::Yes : MessageBox::Answer::Ok;
}

} // namespace tombolix::test
