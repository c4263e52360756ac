// The draw screen at rest: start-up, layout and leaving the program, on the
// offscreen platform.
#include "GuiTest.h"

#include "layout/ScreenLayout.h"
#include "widgets/ScreenWidgets.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tombolix;
using namespace tombolix::test;

namespace {

QStringList texts(const RecordingMessageBox& boxes) {
    QStringList out;
    for (const auto& shown : boxes.shown())
        out << shown.text;
    return out;
}

bool centred(const TStartFrm& f, const QWidget* w) {
    return w->x() == (f.ScreenWidth - w->width()) / 2;
}

TEST(LayoutRules, CentringButtonBarAndIdleNumber) {
    EXPECT_EQ(layout::centred(1024, 301), 361);
    EXPECT_EQ(layout::centred(1024, 1100), -38); // truncated toward zero
    EXPECT_EQ(layout::buttonBarTop(600, 600, 65), 505);
    EXPECT_EQ(layout::buttonBarTop(768, 600, 65), 600);
    const struct {
        int digits;
        const char* text;
    } numbers[] = {{0, "0"},
                   {6, "000000"},
                   {20, "00000000000000000000"},
                   {25, "00000000000000000000"},
                   {-3, ""}};
    for (const auto& c : numbers)
        EXPECT_EQ(layout::idleNumber(c.digits), c.text) << c.digits;
}

TEST(StartScreen, EmptyEventGivesBothMessagesInOrder) {
    ScreenRig rig;
    TStartFrm& f = rig.open();
    EXPECT_EQ(texts(*rig.boxes),
              QStringList({"员工资料为空，请先导入员工资料!", "奖项已经抽完，或未设置奖项!"}));
    EXPECT_EQ(rig.boxes->shown()[0].caption, "系统提示");
    EXPECT_EQ(rig.boxes->shown()[0].icon, MessageBox::Icon::Information);
    EXPECT_TRUE(f.engine().PoolKeys.empty());
    EXPECT_EQ(f.descs->text(), "奖项已经抽完，请先设置奖项！");
    EXPECT_TRUE(centred(f, f.descs));
}

TEST(StartScreen, IdleScreenLayout) {
    ScreenRig rig;
    rig.db.addEmployee("1001", "王伟", "A");
    rig.db.addEmployee("1002", "李娜", "A");
    rig.db.addItem("一等奖", 5, 2, 1, 2);
    rig.writeSettings("gdNumer=6\r\nATltle=年会抽奖\r\ntitleTop=40\r\nNumberTop=300\r\n"
                      "ShowX=11\r\nShowY=12\r\nShowW=300\r\nShowH=200\r\n");
    TStartFrm& f = rig.open();

    EXPECT_TRUE(rig.boxes->shown().empty());
    EXPECT_EQ(f.ScreenWidth, 800);
    EXPECT_EQ(f.engine().PoolKeys.size(), 2u);
    EXPECT_EQ(f.descs->text(), "现在抽取:一等奖, 奖品:一等奖奖品, 共:5人,正在抽取第3位.");
    EXPECT_EQ(f.number1->text(), "000000");
    EXPECT_EQ(f.number1->y(), 300);
    EXPECT_EQ(f.Titles->text(), "年会抽奖");
    EXPECT_EQ(f.Titles->geometry().left(), 0);
    EXPECT_EQ(f.Titles->width(), 800);
    EXPECT_EQ(f.Titles->y(), 40);
    for (const QWidget* w : {static_cast<QWidget*>(f.descs), static_cast<QWidget*>(f.number1),
                             static_cast<QWidget*>(f.EmpName), static_cast<QWidget*>(f.rpbuttom)})
        EXPECT_TRUE(centred(f, w)) << w->objectName().toStdString();
    EXPECT_EQ(f.rpbuttom->y(), 600);
    for (const QGroupBox* panel :
         {f.gbTiltl, f.gbEmp, f.gbNo, f.gbArad, f.gbButton, f.gbPSW, f.gbShow}) {
        EXPECT_FALSE(panel->isVisible());
        EXPECT_EQ(panel->pos(), QPoint((f.ScreenWidth - panel->width()) / 2,
                                       (f.ScreenHeight - panel->height()) / 2));
    }
    EXPECT_EQ(f.gbPSW->size(), QSize(337, 105));
    EXPECT_EQ(f.RzPanel1->geometry(), QRect(11, 12, 300, 200));
    // The music starts on the program's own file when the settings name none.
    EXPECT_EQ(rig.music.urls, QStringList({rig.db.dir() + "back.wma"}));
}

TEST(StartScreen, ButtonBarBelowTheScreenComesBackAboveItsBottom) {
    ScreenRig rig;
    rig.db.addEmployee("1", "a", "A");
    rig.db.addItem("x", 1, 1);
    rig.writeSettings("buttonTop=5000\r\n");
    TStartFrm& f = rig.open();
    EXPECT_EQ(f.rpbuttom->y(), f.ScreenHeight - 30 - 65);
}

TEST(StartScreen, MissingPictureFallsBackToTheProgramsOwn) {
    ScreenRig rig;
    rig.db.addEmployee("1", "a", "A");
    rig.db.addItem("x", 1, 1);
    rig.writeSettings("backImage=/nowhere/picture.jpg\r\n");
    TStartFrm& f = rig.open();
    EXPECT_TRUE(rig.boxes->shown().empty());
    EXPECT_EQ(f.RzBackground1->picture().size(), QSize(64, 36));
    EXPECT_EQ(f.settings.backImage, rig.db.dir() + "backgroup.jpg");
}

TEST(StartScreen, UnreadablePictureStopsTheRefreshWithTheLoadersMessage) {
    for (const char* name : {"picture.emf", "broken.png"}) {
        SCOPED_TRACE(name);
        ScreenRig rig;
        rig.db.addEmployee("1", "a", "A");
        QFile bad(rig.db.dir() + name);
        bad.open(QIODevice::WriteOnly);
        bad.write("not a picture");
        bad.close();
        rig.writeSettings("backImage=" + rig.db.dir() + name + "\r\n");
        TStartFrm& f = rig.open();
        ASSERT_EQ(rig.boxes->shown().size(), 1u);
        EXPECT_TRUE(rig.boxes->shown()[0].text.contains(name));
        EXPECT_FALSE(f.engine().qEmpNoList.isOpen()); // stopped before the data sets
        EXPECT_EQ(f.descs->text(), "本次是第几轮抽奖,正在抽取第几位......");
    }
}

TEST(StartScreen, MissingDatabaseSequence) {
    ScreenRig rig;
    QFile::remove(rig.db.file());
    TStartFrm& f = rig.open();
    ASSERT_EQ(rig.boxes->shown().size(), 2u);
    EXPECT_EQ(rig.boxes->shown()[0].caption, "错误信息");
    EXPECT_EQ(rig.boxes->shown()[0].icon, MessageBox::Icon::Warning);
    EXPECT_TRUE(rig.boxes->shown()[0].text.contains("unable to open"));
    EXPECT_TRUE(rig.boxes->shown()[1].text.contains("not open"));
    // Picture and music are in place; the labels keep their design texts.
    EXPECT_FALSE(f.RzBackground1->picture().isNull());
    EXPECT_EQ(rig.music.urls.size(), 1);
    EXPECT_EQ(f.descs->text(), "本次是第几轮抽奖,正在抽取第几位......");
    EXPECT_EQ(f.number1->text(), "0");
    EXPECT_FALSE(f.engine().StopRequested);
}

TEST(StartScreen, ExitQuestion) {
    ScreenRig rig;
    rig.db.addEmployee("1", "a", "A");
    rig.db.addItem("x", 1, 1);
    TStartFrm& f = rig.open();
    f.show();
    rig.boxes->clear();

    rig.boxes->answerNext(MessageBox::Answer::No);
    f.ActClose->trigger();
    ASSERT_EQ(rig.boxes->shown().size(), 1u);
    const auto& asked = rig.boxes->shown()[0];
    EXPECT_EQ(asked.caption, "退出系统");
    EXPECT_EQ(asked.text, "  真的要退出系统吗？   ");
    EXPECT_EQ(asked.icon, MessageBox::Icon::Question);
    EXPECT_EQ(asked.buttons, MessageBox::Buttons::YesNo);
    EXPECT_TRUE(f.isVisible());

    rig.boxes->answerNext(MessageBox::Answer::Yes);
    QTest::mouseClick(f.buttonPictures[5], Qt::LeftButton); // the exit picture asks the same
    EXPECT_EQ(rig.boxes->shown().size(), 2u);
    EXPECT_FALSE(f.isVisible());
}

TEST(StartScreen, WinnerLabelsReachThePanelsDoubleClick) {
    ScreenRig rig;
    rig.db.addEmployee("1", "a", "A");
    rig.db.addItem("x", 1, 1);
    rig.writeSettings("ShowW=489\r\nShowH=313\r\n");
    TStartFrm& f = rig.open();
    f.show();
    QSignalSpy spy(&f, &TStartFrm::winnerPanelDoubleClicked);
    f.addWinnerLabel("1001", "王伟", 5, 5, "生产部");
    auto* label = f.RzPanel1->findChild<QLabel*>("Lab5");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry(), QRect(20, 171, 112, 146)); // ShowR 4, panel 489 x 313
    QTest::mouseDClick(label, Qt::LeftButton);
    QTest::mouseDClick(f.RzPanel1, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 2);
    f.clearWinnerPanel();
    EXPECT_EQ(f.RzPanel1->findChild<QLabel*>("Lab5"), nullptr);
}

} // namespace
