#include "screen/StartFrm.h"

#include "engine/WinnerPanelLayout.h"
#include "layout/ScreenLayout.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBox.h"
#include "store/DrawDatabase.h"
#include "widgets/Colors.h"
#include "widgets/QtMediaPlayer.h"
#include "widgets/ScreenWidgets.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>

namespace tombolix {

namespace {
const QString kTitle = QStringLiteral("员工抽奖系统");
const QString kDesignFont = QStringLiteral("微软雅黑");
const QColor kSkyBlue(166, 202, 240);

struct ButtonPicture {
    const char* resource;
    const char* lettering;
};
const ButtonPicture kButtons[6] = {
    {":/buttons/btn_start.png", "开始"},       {":/buttons/btn_setup.png", "系统设置"},
    {":/buttons/btn_items.png", "设置奖项"},   {":/buttons/btn_current.png", "当前奖项"},
    {":/buttons/btn_winners.png", "获奖名单"}, {":/buttons/btn_exit.png", "退出系统"},
};
} // namespace

TStartFrm::TStartFrm(StartFrmServices services, QWidget* parent)
    : QWidget(parent), services_(services) {
    if (!services_.sounds) {
        ownSounds_ = std::make_unique<QtMediaPlayer>();
        services_.sounds = ownSounds_.get();
    }
    if (!services_.music) {
        ownMusic_ = std::make_unique<QtMediaPlayer>();
        services_.music = ownMusic_.get();
    }
    if (!services_.events) {
        ownEvents_ = std::make_unique<QtEventPump>();
        services_.events = ownEvents_.get();
    }
    if (!services_.random) {
        ownRandom_ = std::make_unique<SystemRandomSource>();
        services_.random = ownRandom_.get();
    }
    engine_ = std::make_unique<DrawEngine>(ADOConnection1, settings, *this, *services_.events,
                                           *services_.random, *services_.sounds);

    setObjectName(QStringLiteral("StartFrm"));
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorFromSetting(1910490));
    setPalette(pal);
    setAutoFillBackground(true);
    buildComponents();
    buildCommands();
    FormResize();
    FormCreate();
}

TStartFrm::~TStartFrm() = default;

void TStartFrm::buildComponents() {
    RzBackground1 = new StretchedBackground(this);

    auto makeLabel = [this](const char* name, const QString& text, int color, int size, int top,
                            Qt::Alignment align) {
        auto* label = new ClickLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(align);
        label->setTextFormat(Qt::PlainText);
        label->setAttribute(Qt::WA_TranslucentBackground);
        applyFont(label, kDesignFont, color, size);
        label->move(0, top);
        label->setTextSized(text);
        return label;
    };
    Titles = makeLabel("Titles", QStringLiteral("Titles"), int(0xFF000005), 25, 0,
                       Qt::AlignHCenter | Qt::AlignTop);
    EmpName = makeLabel("EmpName", QStringLiteral("本次中奖者是:......"), 255, 28, 451,
                        Qt::AlignHCenter | Qt::AlignTop);
    descs = makeLabel("descs", QStringLiteral("本次是第几轮抽奖,正在抽取第几位......"), 255, 18,
                      383, Qt::AlignHCenter | Qt::AlignTop);
    number1 = makeLabel("number1", QStringLiteral("0"), 15780518, 60, 529, Qt::AlignCenter);

    RzPanel1 = new ClickFrame(this);
    RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    RzPanel1->setStyleSheet(QStringLiteral("#RzPanel1 { border: 1px solid rgb(128, 128, 128); "
                                           "background: transparent; }"));
    RzPanel1->setGeometry(56, 56, 489, 313);
    connect(RzPanel1, &ClickFrame::doubleClicked, this, &TStartFrm::RzPanel1DblClick);

    rpbuttom = new ClickFrame(this);
    rpbuttom->setObjectName(QStringLiteral("rpbuttom"));
    rpbuttom->setAttribute(Qt::WA_TranslucentBackground);
    rpbuttom->setGeometry(168, 584, 833, 65);
    for (int i = 0; i < 6; ++i) {
        auto* picture = new ClickLabel(rpbuttom);
        picture->setObjectName(QStringLiteral("Image%1").arg(i + 2));
        picture->setGeometry(13 + 136 * i, 8, 105, 41);
        picture->setPixmap(QPixmap(QString::fromLatin1(kButtons[i].resource)));
        picture->setScaledContents(true);
        picture->setToolTip(QString::fromUtf8(kButtons[i].lettering));
        picture->setCursor(Qt::PointingHandCursor);
        buttonPictures[size_t(i)] = picture;
    }
    // A click on a picture calls the handler itself, so it works while its
    // command is disabled: this is how the mouse stops a running draw.
    connect(buttonPictures[0], &ClickLabel::clicked, this, &TStartFrm::ActStartExecute);
    connect(buttonPictures[5], &ClickLabel::clicked, this, &TStartFrm::ActCloseExecute);

    gbTiltl = addHiddenPanel(QStringLiteral("修改标题"), 625, 153);
    gbEmp = addHiddenPanel(QStringLiteral("修改滚动名称显示"), 625, 113);
    gbNo = addHiddenPanel(QStringLiteral("修改滚动号码显示"), 625, 177);
    gbArad = addHiddenPanel(QStringLiteral("修改奖品显示"), 625, 113);
    gbButton = addHiddenPanel(QStringLiteral("修改按钮显示"), 321, 89);
    gbPSW = addHiddenPanel(QString(), 337, 105);
    gbShow = addHiddenPanel(QStringLiteral("修改中奖区显示"), 625, 177);
    gbTiltl->setObjectName(QStringLiteral("gbTiltl"));
    gbEmp->setObjectName(QStringLiteral("gbEmp"));
    gbNo->setObjectName(QStringLiteral("gbNo"));
    gbArad->setObjectName(QStringLiteral("gbArad"));
    gbButton->setObjectName(QStringLiteral("gbButton"));
    gbPSW->setObjectName(QStringLiteral("gbPSW"));
    gbShow->setObjectName(QStringLiteral("gbShow"));
}

QGroupBox* TStartFrm::addHiddenPanel(const QString& caption, int width, int height) {
    auto* panel = new QGroupBox(caption, this);
    panel->setFlat(true);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, kSkyBlue);
    panel->setPalette(pal);
    QFont font(QStringLiteral("华文细黑"));
    font.setPixelSize(16);
    panel->setFont(font);
    panel->resize(width, height);
    panel->hide();
    return panel;
}

QAction* TStartFrm::addCommand(const QString& caption, const QList<QKeySequence>& keys,
                               void (TStartFrm::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

void TStartFrm::buildCommands() {
    ActClose = addCommand(QString(), {QKeySequence(Qt::Key_Escape)}, &TStartFrm::ActCloseExecute);
    ActStart = addCommand(
        QString(),
        {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Space)},
        &TStartFrm::ActStartExecute);
    // The dialogs these open are not part of the draw screen itself; their
    // keys are reserved here so a draw can close them.
    ActSetItem = addCommand(QStringLiteral("设置奖项"), {QKeySequence(Qt::Key_F8)}, nullptr);
    ActSetCurrItem =
        addCommand(QStringLiteral("设置当前奖项"), {QKeySequence(Qt::Key_F9)}, nullptr);
    ActSetup = addCommand(QStringLiteral("系统设置"), {QKeySequence(Qt::Key_F10)}, nullptr);
    ActList = addCommand(QStringLiteral("中奖名单"), {QKeySequence(Qt::Key_F11)}, nullptr);
    ActSetBlank = addCommand(QStringLiteral("黑名单"), {QKeySequence(Qt::Key_F2)}, nullptr);
    ActBlankOn =
        addCommand(QStringLiteral("开启白名单"), {QKeySequence(Qt::CTRL | Qt::Key_X)}, nullptr);
    ActBlankOFF =
        addCommand(QStringLiteral("关闭白名单"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, nullptr);
    ActEditPWS = addCommand(QStringLiteral("修改密码"), {}, nullptr);
}

void TStartFrm::applyFont(QWidget* widget, const QString& name, int color, int size) {
    QFont font(name);
    font.setPointSize(size > 0 ? size : 1);
    font.setBold(true);
    widget->setFont(font);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, colorFromSetting(color));
    widget->setPalette(pal);
}

void TStartFrm::FormCreate() {
    settings.MusicOff = false;
    engine_->CurrentItemNo = 0;
    engine_->winnerIndex = 0;
    runGuarded([this] {
        ConnectDatabase(ADOConnection1);
        RefreshScreen();
        engine_->StopRequested = false;
    });
}

void TStartFrm::FormResize() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s) {
        ScreenWidth = s->geometry().width();
        ScreenHeight = s->geometry().height();
    }
}

void TStartFrm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RzBackground1->setGeometry(rect());
    FormResize();
}

void TStartFrm::showOnScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s)
        setGeometry(s->geometry());
    showFullScreen();
    raise();
    activateWindow();
}

void TStartFrm::ActCloseExecute() {
    runGuarded([this] {
        if (engine_->requestClose())
            return;
        if (MessageBox::show(QStringLiteral("退出系统"), QStringLiteral("  真的要退出系统吗？   "),
                             MessageBox::Icon::Question,
                             MessageBox::Buttons::YesNo) == MessageBox::Answer::Yes)
            close();
    });
}

void TStartFrm::ActStartExecute() {
    runGuarded([this] { engine_->ActStartExecute(); });
}

void TStartFrm::centreHorizontally(QWidget* widget) {
    widget->move(layout::centred(ScreenWidth, widget->width()), widget->y());
}

void TStartFrm::setRollingNumber(const QString& text) {
    number1->setTextSized(text);
    centreHorizontally(number1);
}

void TStartFrm::setRollingName(const QString& text) {
    EmpName->setTextSized(text);
    centreHorizontally(EmpName);
}

void TStartFrm::setStatusLine(const QString& text) {
    descs->setTextSized(text);
    centreHorizontally(descs);
}

void TStartFrm::setDrawCommandsEnabled(bool enabled) {
    for (QAction* action : {ActSetItem, ActSetCurrItem, ActSetup, ActList, ActSetBlank, ActClose})
        action->setEnabled(enabled);
}

void TStartFrm::clearWinnerPanel() {
    const auto children = RzPanel1->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        delete *it;
}

void TStartFrm::addWinnerLabel(const QString& number, const QString& name, int perDraw,
                               int winnerIndex, const QString& department) {
    const WinnerLabelLayout cell =
        winnerLabelLayout(settings, RzPanel1->width(), RzPanel1->height(), number, name, perDraw,
                          winnerIndex, department);
    auto* label = new ClickLabel(RzPanel1);
    label->setObjectName(cell.objectName);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setAttribute(Qt::WA_TranslucentBackground);
    applyFont(label, settings.AdFontName2, settings.AdFontColor2, settings.AdFontSize2);
    label->setGeometry(cell.left, cell.top, cell.width, cell.height);
    label->setText(cell.text());
    connect(label, &ClickLabel::doubleClicked, this, &TStartFrm::RzPanel1DblClick);
    label->show();
}

void TStartFrm::RzPanel1DblClick() {
    Q_EMIT winnerPanelDoubleClicked();
}

void TStartFrm::showNow() {
    repaint();
}

} // namespace tombolix
