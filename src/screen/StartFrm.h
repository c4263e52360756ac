#pragma once

#include "engine/DrawEngine.h"
#include "platform/Database.h"
#include "platform/Seams.h"
#include "store/Settings.h"

#include <QAction>
#include <QGroupBox>
#include <QWidget>
#include <array>
#include <memory>

namespace tombolix {

class ClickLabel;
class ClickFrame;
class StretchedBackground;

// What the draw screen plays sounds on and how it waits; the program gives
// the real ones, a test its own.
struct StartFrmServices {
    MediaPlayer* sounds = nullptr; // WindowsMediaPlayer1: the sounds of the draw
    MediaPlayer* music = nullptr;  // WindowsMediaPlayer2: the background music
    EventPump* events = nullptr;
    RandomSource* random = nullptr;
};

// The draw screen: one borderless full-screen window.
class TStartFrm : public QWidget, public DrawScreen {
    Q_OBJECT
public:
    // Services left empty are the program's real ones.
    explicit TStartFrm(StartFrmServices services = {}, QWidget* parent = nullptr);
    ~TStartFrm() override;

    // Shows the window over the whole screen, also where no window manager
    // runs: the geometry is the screen's, not only the full-screen state.
    void showOnScreen();

    void RefreshScreen();
    void ActCloseExecute();
    void ActStartExecute();
    // The winner panel's double-click, also reached from every winner label;
    // it tells winnerPanelDoubleClicked.
    void RzPanel1DblClick();

    // The settings record of the running program, read by every refresh.
    Settings settings;
    DrawEngine& engine() { return *engine_; }
    Connection& connection() { return ADOConnection1; }
    int ScreenWidth = 0;
    int ScreenHeight = 0;

    // Screen elements, named as the operator's manual names them.
    StretchedBackground* RzBackground1;
    ClickLabel* Titles;
    ClickLabel* EmpName;
    ClickLabel* descs;
    ClickLabel* number1;
    ClickFrame* RzPanel1;
    ClickFrame* rpbuttom;
    std::array<ClickLabel*, 6> buttonPictures; // Image2 .. Image7
    QGroupBox* gbTiltl;
    QGroupBox* gbEmp;
    QGroupBox* gbNo;
    QGroupBox* gbArad;
    QGroupBox* gbButton;
    QGroupBox* gbShow;
    QGroupBox* gbPSW;

    QAction* ActClose;
    QAction* ActStart;
    QAction* ActSetItem;
    QAction* ActSetCurrItem;
    QAction* ActSetup;
    QAction* ActList;
    QAction* ActSetBlank;
    QAction* ActBlankOn;
    QAction* ActBlankOFF;
    QAction* ActEditPWS;

    // DrawScreen
    void setRollingNumber(const QString& text) override;
    void setRollingName(const QString& text) override;
    void setStatusLine(const QString& text) override;
    void setDrawCommandsEnabled(bool enabled) override;
    void clearWinnerPanel() override;
    void addWinnerLabel(const QString& number, const QString& name, int perDraw, int winnerIndex,
                        const QString& department) override;
    void showNow() override;

Q_SIGNALS:
    void winnerPanelDoubleClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void FormResize();
    void buildComponents();
    void buildCommands();
    QAction* addCommand(const QString& caption, const QList<QKeySequence>& keys,
                        void (TStartFrm::*handler)());
    QGroupBox* addHiddenPanel(const QString& caption, int width, int height);
    void centreHorizontally(QWidget* widget);
    // Applies a font setting (name, colour, size) to a bold element.
    void applyFont(QWidget* widget, const QString& name, int color, int size);

    std::unique_ptr<MediaPlayer> ownSounds_, ownMusic_;
    std::unique_ptr<EventPump> ownEvents_;
    std::unique_ptr<RandomSource> ownRandom_;
    StartFrmServices services_;
    Connection ADOConnection1;
    std::unique_ptr<DrawEngine> engine_;
};

} // namespace tombolix
