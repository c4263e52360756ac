// Bringing the draw screen into its idle state from the settings file and the
// database.
#include "layout/ScreenLayout.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"
#include "screen/StartFrm.h"
#include "widgets/PictureLoader.h"
#include "widgets/ScreenWidgets.h"

#include <QFileInfo>

namespace tombolix {

void TStartFrm::RefreshScreen() {
    FormResize();
    ReadSettings(settings);

    // A file that has gone missing falls back to the program's own; the
    // settings file keeps the old path until it is next written.
    if (!QFileInfo(settings.backSound).isFile())
        settings.backSound = ProgramDir::file(QStringLiteral("back.wma"));
    if (!QFileInfo(settings.backImage).isFile())
        settings.backImage = ProgramDir::file(QStringLiteral("backgroup.jpg"));

    RzBackground1->hide();
    RzBackground1->setPicture(loadPicture(settings.backImage));
    RzBackground1->show();
    RzBackground1->lower();

    services_.music->setUrl(settings.MusicOff ? QString() : settings.backSound);
    services_.music->hide();
    services_.sounds->hide();

    DrawEngine& draw = *engine_;
    draw.reopenViews();
    if (draw.qEmpNoList.isEmpty())
        MessageBox::show(QStringLiteral("系统提示"), QStringLiteral("员工资料为空，请先导入员工资料!"),
                         MessageBox::Icon::Information);
    if (draw.qAwardItem.isEmpty())
        MessageBox::show(QStringLiteral("系统提示"), QStringLiteral("奖项已经抽完，或未设置奖项!"),
                         MessageBox::Icon::Information);
    draw.takeCurrentItem();
    draw.rebuildPool();

    Titles->move(Titles->x(), settings.titleTop);
    applyFont(Titles, settings.titleFontName, settings.titleFontColor, settings.titleFontSize);
    Titles->setTextSized(settings.ATltle);
    Titles->setGeometry(0, Titles->y(), ScreenWidth, Titles->height());

    EmpName->move(EmpName->x(), settings.gdTop);
    applyFont(EmpName, settings.AdFontName1, settings.AdFontColor1, settings.AdFontSize1);
    EmpName->adjustSize();

    applyFont(number1, settings.gdFontName, settings.gdFontColor, settings.gdFontSize);
    number1->move(number1->x(), settings.NumberTop);

    descs->move(descs->x(), settings.adTop);
    applyFont(descs, settings.AdFontName, settings.AdFontColor, settings.AdFontSize);
    setStatusLine(draw.idleStatusText());

    setRollingNumber(layout::idleNumber(settings.gdNumer));
    centreHorizontally(EmpName);

    centreHorizontally(rpbuttom);
    rpbuttom->move(rpbuttom->x(),
                   layout::buttonBarTop(ScreenHeight, settings.buttonTop, rpbuttom->height()));

    for (QWidget* panel : {static_cast<QWidget*>(gbTiltl), static_cast<QWidget*>(gbEmp),
                           static_cast<QWidget*>(gbNo), static_cast<QWidget*>(gbButton),
                           static_cast<QWidget*>(gbArad), static_cast<QWidget*>(gbPSW),
                           static_cast<QWidget*>(gbShow)}) {
        panel->move(panel->x(), layout::centred(ScreenHeight, panel->height()));
        panel->move(layout::centred(ScreenWidth, panel->width()), panel->y());
    }

    RzPanel1->setGeometry(settings.ShowX, settings.ShowY, settings.ShowW, settings.ShowH);
}

} // namespace tombolix
