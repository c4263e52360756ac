#pragma once

#include "platform/Database.h"

#include <QString>
#include <optional>
#include <vector>

namespace tombolix {

struct Settings;
class EventPump;
class RandomSource;
class MediaPlayer;

// What the draw engine needs of the draw screen. The screen centres a label
// whenever its text changes.
class DrawScreen {
public:
    virtual ~DrawScreen() = default;
    virtual void setRollingNumber(const QString& text) = 0; // number1
    virtual void setRollingName(const QString& text) = 0;   // EmpName
    virtual void setStatusLine(const QString& text) = 0;    // descs
    // ActSetItem, ActSetCurrItem, ActSetup, ActList, ActSetBlank, ActClose.
    virtual void setDrawCommandsEnabled(bool enabled) = 0;
    virtual void clearWinnerPanel() = 0;
    // Places one label (see WinnerPanelLayout.h); the engine has just let
    // pending events run.
    virtual void addWinnerLabel(const QString& number, const QString& name, int perDraw,
                                int winnerIndex, const QString& department) = 0;
    // Paints what changed at once, before a pause that lets no events run.
    virtual void showNow() = 0;
};

// The draw: the main screen's five views of the Draw database, the current
// prize item, the pool, and the rules that decide who wins. One thread: a
// start or close command arrives nested inside a running draw through
// EventPump::processEvents, and the flags Rolling and StopRequested are the
// only link between the two.
class DrawEngine {
public:
    // A person as read from the pool or the white list, values as stored.
    struct Candidate {
        QString number;
        QString name;
        QString company;
        QString department;
    };

    DrawEngine(Connection& connection, Settings& settings, DrawScreen& screen, EventPump& events,
               RandomSource& random, MediaPlayer& sounds);

    // Views, opened by the screen's refresh.
    DataSet qEmpNoList;
    DataSet qAwardList;
    DataSet qAwardBlank;
    DataSet qAward;
    DataSet qAwardItem;

    // The current prize item (CurrentItemNo 0: none).
    int CurrentItemNo = 0;
    QString CurItemName;
    QString CurPrize;
    int CurTotal = 0;
    int PerDraw = 0;
    int CurDrawn = 0;

    // Draw state.
    bool Rolling = false;
    bool StopRequested = false;
    int winnerIndex = 0;

    // RecNo of every employee in the pool view's order, and of the white-list
    // rows of the current item.
    std::vector<int> PoolKeys;
    std::vector<int> WhiteKeys;

    // Refresh steps: close and open the five views in their order; take the
    // current prize item from the first row of qAwardItem; rebuild PoolKeys
    // (letting events run before each row).
    void reopenViews();
    void takeCurrentItem();
    void rebuildPool();
    // The idle status line for the current item.
    QString idleStatusText() const;

    // Enter, Space, the start picture. While a draw runs, a stop request.
    void ActStartExecute();
    // Esc or the exit picture while a draw runs: asks it to stop. Returns
    // false when no draw runs (the screen then asks the exit question).
    bool requestClose();
    // From the start of a draw to its end, also while Rolling is already
    // clear (the close command came, or the item filled up).
    bool isDrawing() const { return drawing_; }

    // One step of the rolling loop: a random person shown, then the pause.
    // False when the pool has nobody to show.
    bool RollingStep();
    // One spin of the fixing phase: a random person shown, the pause, then
    // replaced until the person may win. Nothing when nobody in the pool may.
    std::optional<Candidate> Spin();

    void DrawWinners(int itemRecNo);
    bool PickPoolRow(int index);
    bool PickWhiteListRow(int index);
    void LoadWhiteList(int itemRecNo);
    bool IsExcluded(const QString& number, const QString& company);
    bool IsOnWhiteList(const QString& number, const QString& company);
    void ShowCandidate(const QString& number, const QString& company, const QString& department,
                       const QString& name);
    bool RecordWinner(const QString& number, const QString& name, const QString& itemRecNoText,
                      const QString& company);
    void LoadCurrentItem();
    int FirstOpenItem();

    static QString PadNumber(const QString& text, int width, bool atRight);

private:
    void runDraw();
    void startSound(const QString& fileName);
    void showStatus(const QString& text);
    void clearCurrentItem();
    // The current item's fields from the first row of qAwardItem.
    void copyCurrentItem();
    bool pickRandomPoolRow();
    Candidate poolCandidate() const;
    bool mayWin(const Candidate& person);
    std::optional<Candidate> anyoneWhoMayWin();
    std::optional<Candidate> whiteListWinner(int itemRecNo);
    bool currentItemHasPlaces(int itemRecNo);
    void resyncAfterFailedRecord();

    Connection& connection_;
    Settings& settings_;
    DrawScreen& screen_;
    EventPump& events_;
    RandomSource& random_;
    MediaPlayer& sounds_;
    bool drawing_ = false;
    // Raised whenever the pool view is reopened or PoolKeys rebuilt, so a walk
    // over the pool notices a nested refresh that took over.
    unsigned poolEpoch_ = 0;
};

} // namespace tombolix
