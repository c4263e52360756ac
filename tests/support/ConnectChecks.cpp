#include "support/ConnectChecks.h"

#include "platform/Database.h"
#include "store/DrawDatabase.h"
#include "support/RecordingMessageBox.h"

#include <gtest/gtest.h>

namespace tombolix::test {

QString expectConnectionRefused() {
    auto boxes = RecordingMessageBox::install();
    Connection connection;
    EXPECT_FALSE(ConnectDatabase(connection));
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(boxes->shown().size(), 1u);
    if (boxes->shown().empty())
        return QString();
    const auto& shown = boxes->shown()[0];
    EXPECT_EQ(shown.caption, QStringLiteral("错误信息"));
    EXPECT_EQ(shown.icon, MessageBox::Icon::Warning);
    EXPECT_FALSE(shown.text.isEmpty());
    return shown.text;
}

} // namespace tombolix::test
