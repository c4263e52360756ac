#include "engine/DrawEngine.h"

#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"
#include "platform/Seams.h"
#include "store/Settings.h"
#include "store/Statements.h"

#include <QSet>
#include <algorithm>

namespace tombolix {

namespace {

const QString kCaption = QStringLiteral("系统提示");
const QString kNoItemMessage = QStringLiteral("未设置奖项，请先设置奖项！");
const QString kEmptyPoolMessage = QStringLiteral("员工资料为空，请先导入员工资料!");
const QString kNobodyLeftMessage = QStringLiteral("没有可以中奖的人员了！");
const QString kNoItemStatus = QStringLiteral("未设置奖项或全部奖项已抽完!");
const QString kAllDrawnStatus = QStringLiteral("奖项已经抽完，请先设置奖项！");
const QString kRollingPrefix = QStringLiteral("本次中奖者是:");

constexpr int kRollingPauseMs = 50;
constexpr int kSpinPauseMs = 10;
constexpr int kWinnerPauseMs = 1000;
// A key that cannot be found means the pool view and PoolKeys drifted apart;
// give up after a few tries rather than spin for ever.
constexpr int kPickAttempts = 32;
// Random tries for a person who may win before the pool is searched whole,
// which also tells when nobody is left.
constexpr int kEligibleAttempts = 2000;

// Blanks and control characters at both ends, as the screen shows a value.
QString trimmed(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString drawingStatus(const QString& item, const QString& prize, int total, int drawn) {
    return QStringLiteral("现在抽取:") + item + QStringLiteral(", 奖品:") + prize +
           QStringLiteral(", 共:") + QString::number(total) + QStringLiteral("人,正在抽取第") +
           QString::number(drawn + 1) + QStringLiteral("位.");
}

QString personKey(const QString& number, const QString& company) {
    return number + QChar(0x1f) + company;
}

void showNotice(const QString& text) {
    MessageBox::show(kCaption, text, MessageBox::Icon::Information);
}

} // namespace

DrawEngine::DrawEngine(Connection& connection, Settings& settings, DrawScreen& screen,
                       EventPump& events, RandomSource& random, MediaPlayer& sounds)
    : qEmpNoList(connection, sql::selectEmployees()), qAwardList(connection, sql::selectWinners()),
      qAwardBlank(connection, sql::selectBlackList()), qAward(connection, sql::selectWhiteList()),
      qAwardItem(connection, sql::selectUnfinishedItems()), connection_(connection),
      settings_(settings), screen_(screen), events_(events), random_(random), sounds_(sounds) {}

// ---- Refresh steps ---------------------------------------------------------

void DrawEngine::reopenViews() {
    ++poolEpoch_;
    for (DataSet* view : {&qAwardList, &qAwardBlank, &qAward, &qAwardItem, &qEmpNoList}) {
        view->close();
        view->open();
    }
}

void DrawEngine::takeCurrentItem() {
    if (!qAwardItem.isOpen() || qAwardItem.isEmpty()) {
        clearCurrentItem();
        return;
    }
    copyCurrentItem();
}

void DrawEngine::copyCurrentItem() {
    qAwardItem.first();
    CurrentItemNo = qAwardItem.asInteger(QStringLiteral("RecNo"));
    PerDraw = qAwardItem.asInteger(QStringLiteral("iNumber"));
    CurItemName = qAwardItem.asString(QStringLiteral("ItemName"));
    CurPrize = qAwardItem.asString(QStringLiteral("Awards"));
    CurTotal = qAwardItem.asInteger(QStringLiteral("SumNumber"));
    CurDrawn = qAwardItem.asInteger(QStringLiteral("ExcNum"));
}

void DrawEngine::rebuildPool() {
    const unsigned epoch = ++poolEpoch_;
    PoolKeys.clear();
    if (!qEmpNoList.isOpen())
        return;
    PoolKeys.reserve(size_t(qEmpNoList.recordCount()));
    // The field by position: looking it up by name a million times shows.
    const QStringList fields = qEmpNoList.fieldNames();
    int recNo = 0;
    while (recNo < fields.size() &&
           fields[recNo].compare(QLatin1String("RecNo"), Qt::CaseInsensitive) != 0)
        ++recNo;
    for (qEmpNoList.first(); !qEmpNoList.eof(); qEmpNoList.next()) {
        events_.processEvents();
        // A refresh that ran meanwhile has reopened the view and built the
        // list again; this walk's position means nothing any more.
        if (poolEpoch_ != epoch)
            return;
        PoolKeys.push_back(qEmpNoList.value(recNo).toInt());
    }
    // Build the lookup by RecNo now, so the first rolling step does not.
    if (!PoolKeys.empty())
        qEmpNoList.locate(QStringLiteral("RecNo"), {PoolKeys.front()});
}

QString DrawEngine::idleStatusText() const {
    if (CurTotal == 0)
        return kAllDrawnStatus;
    return drawingStatus(CurItemName, CurPrize, CurTotal, CurDrawn);
}

// ---- Commands --------------------------------------------------------------

void DrawEngine::ActStartExecute() {
    if (Rolling || drawing_) {
        // Nested inside the running draw: a stop request. The draw goes on to
        // fix its winners; the operator gets the commands back at once.
        StopRequested = true;
        screen_.setDrawCommandsEnabled(true);
        return;
    }
    drawing_ = true;
    try {
        runDraw();
    } catch (...) {
        // The general error handler shows the text; the screen must be idle
        // and usable behind it.
        drawing_ = false;
        Rolling = false;
        StopRequested = false;
        screen_.setDrawCommandsEnabled(true);
        throw;
    }
    drawing_ = false;
    // Also after a draw that the close command cut short.
    screen_.setDrawCommandsEnabled(true);
}

bool DrawEngine::requestClose() {
    if (!Rolling && !drawing_)
        return false;
    StopRequested = true;
    Rolling = false;
    return true;
}

void DrawEngine::runDraw() {
    StopRequested = false;
    screen_.setDrawCommandsEnabled(false);
    screen_.clearWinnerPanel();
    if (!qAwardItem.isOpen() || qAwardItem.isEmpty())
        showNotice(kNoItemMessage);
    events_.processEvents();
    if (PoolKeys.empty()) {
        showNotice(kEmptyPoolMessage);
        return;
    }
    Rolling = true;
    startSound(QStringLiteral("begin.wav"));
    while (!StopRequested) {
        if (!RollingStep()) {
            // The pool emptied under a nested refresh.
            Rolling = false;
            StopRequested = false;
            showNotice(kEmptyPoolMessage);
            return;
        }
    }
    DrawWinners(CurrentItemNo);
}

bool DrawEngine::RollingStep() {
    if (!pickRandomPoolRow())
        return false;
    const Candidate person = poolCandidate();
    events_.processEvents();
    ShowCandidate(trimmed(person.number), trimmed(person.company), trimmed(person.department),
                  trimmed(person.name));
    events_.sleep(kRollingPauseMs);
    return true;
}

// ---- Fixing phase ----------------------------------------------------------

void DrawEngine::DrawWinners(int itemRecNo) {
    Rolling = true;
    winnerIndex = 1;
    while (winnerIndex <= PerDraw) {
        startSound(QStringLiteral("begin.wav"));
        if (!Rolling)
            break;
        if (!currentItemHasPlaces(itemRecNo))
            break;
        events_.processEvents();
        showStatus(drawingStatus(CurItemName, CurPrize, CurTotal, CurDrawn));

        std::optional<Candidate> winner;
        const int spins = std::max(settings_.iTime, 0) + 1;
        for (int spin = 0; spin < spins; ++spin) {
            winner = Spin();
            if (!winner)
                break;
        }
        if (settings_.IsBlank) {
            if (auto designated = whiteListWinner(itemRecNo))
                winner = designated;
        }
        if (!winner) {
            showNotice(kNobodyLeftMessage);
            break;
        }

        const QString shownNumber = trimmed(winner->number);
        const QString shownName = trimmed(winner->name);
        const QString shownDepartment = trimmed(winner->department);
        ShowCandidate(shownNumber, trimmed(winner->company), shownDepartment, shownName);
        events_.processEvents();
        // Recorded before the label goes up, so a failed record never leaves
        // a label for someone who did not win.
        if (RecordWinner(winner->number, winner->name, QString::number(itemRecNo),
                         winner->company)) {
            events_.processEvents();
            screen_.addWinnerLabel(shownNumber, shownName, PerDraw, winnerIndex, shownDepartment);
        }
        sounds_.close();
        // Nothing is painted during the pause; the audience must see the
        // winner before it.
        screen_.showNow();
        events_.sleep(kWinnerPauseMs);
        ++winnerIndex;
    }
    startSound(QStringLiteral("end.wav"));
    LoadCurrentItem();
    Rolling = false;
    StopRequested = false;
}

bool DrawEngine::currentItemHasPlaces(int itemRecNo) {
    // Without the item's row no count could be raised for a winner.
    if (!qAwardItem.isOpen() || !qAwardItem.locate(QStringLiteral("RecNo"), {itemRecNo}))
        return false;
    if (qAwardItem.asInteger(QStringLiteral("ExcNum")) <
        qAwardItem.asInteger(QStringLiteral("SumNumber")))
        return true;
    qAwardItem.edit();
    qAwardItem.setField(QStringLiteral("IsExec"), true);
    qAwardItem.post();
    return false;
}

std::optional<DrawEngine::Candidate> DrawEngine::Spin() {
    if (!pickRandomPoolRow())
        return std::nullopt;
    const Candidate passing = poolCandidate();
    ShowCandidate(trimmed(passing.number), trimmed(passing.company), trimmed(passing.department),
                  trimmed(passing.name));
    events_.sleep(kSpinPauseMs);
    if (mayWin(passing))
        return passing;
    for (int attempt = 0; attempt < kEligibleAttempts; ++attempt) {
        if (!pickRandomPoolRow())
            return std::nullopt;
        const Candidate other = poolCandidate();
        ShowCandidate(other.number, other.company, trimmed(other.department), other.name);
        if (mayWin(other))
            return other;
    }
    return anyoneWhoMayWin();
}

bool DrawEngine::mayWin(const Candidate& person) {
    return !IsExcluded(person.number, person.company) &&
           !IsOnWhiteList(person.number, person.company);
}

// The whole pool searched once: a uniform choice among those who may win, or
// nothing when nobody may.
std::optional<DrawEngine::Candidate> DrawEngine::anyoneWhoMayWin() {
    QSet<QString> whiteListed;
    Query white(connection_, sql::selectWhiteList());
    white.open();
    for (white.first(); !white.eof(); white.next())
        whiteListed.insert(personKey(white.asString(QStringLiteral("sNo")),
                                     white.asString(QStringLiteral("sCompCode"))));
    std::vector<int> eligible;
    for (int i = 0; i < int(PoolKeys.size()); ++i) {
        if (!PickPoolRow(i))
            continue;
        const Candidate person = poolCandidate();
        if (!whiteListed.contains(personKey(person.number, person.company)) &&
            !IsExcluded(person.number, person.company))
            eligible.push_back(i);
    }
    if (eligible.empty())
        return std::nullopt;
    if (!PickPoolRow(eligible[size_t(random_.index(int(eligible.size())))]))
        return std::nullopt;
    const Candidate chosen = poolCandidate();
    ShowCandidate(chosen.number, chosen.company, trimmed(chosen.department), chosen.name);
    return chosen;
}

std::optional<DrawEngine::Candidate> DrawEngine::whiteListWinner(int itemRecNo) {
    LoadWhiteList(itemRecNo);
    if (WhiteKeys.empty() || !PickWhiteListRow(int(WhiteKeys.size()) - 1))
        return std::nullopt;
    // The entry loaded last decides whether the white list is used at all.
    if (IsExcluded(qAward.asString(QStringLiteral("sNo")),
                   qAward.asString(QStringLiteral("sCompCode"))))
        return std::nullopt;
    // Only entries whose person may still win are offered: one who already
    // won would get a label and no record.
    std::vector<int> open;
    for (int i = 0; i < int(WhiteKeys.size()); ++i) {
        if (PickWhiteListRow(i) && !IsExcluded(qAward.asString(QStringLiteral("sNo")),
                                               qAward.asString(QStringLiteral("sCompCode"))))
            open.push_back(i);
    }
    const int choice =
        open.size() == 1 ? open.front() : open[size_t(random_.index(int(open.size())))];
    if (!PickWhiteListRow(choice))
        return std::nullopt;
    return Candidate{
        qAward.asString(QStringLiteral("sNo")), qAward.asString(QStringLiteral("sName")),
        qAward.asString(QStringLiteral("sCompCode")), qAward.asString(QStringLiteral("sDartNo"))};
}

// ---- Rows and rules --------------------------------------------------------

bool DrawEngine::pickRandomPoolRow() {
    for (int attempt = 0; attempt < kPickAttempts; ++attempt) {
        // PoolKeys is what is indexed, so its own size bounds the index; a
        // nested refresh may have changed it since the last try.
        if (PoolKeys.empty())
            return false;
        if (PickPoolRow(random_.index(int(PoolKeys.size()))))
            return true;
    }
    return false;
}

bool DrawEngine::PickPoolRow(int index) {
    if (index < 0 || index >= int(PoolKeys.size()) || !qEmpNoList.isOpen())
        return false;
    return qEmpNoList.locate(QStringLiteral("RecNo"), {PoolKeys[size_t(index)]});
}

bool DrawEngine::PickWhiteListRow(int index) {
    if (index < 0 || index >= int(WhiteKeys.size()) || !qAward.isOpen())
        return false;
    return qAward.locate(QStringLiteral("RecNo"), {WhiteKeys[size_t(index)]});
}

DrawEngine::Candidate DrawEngine::poolCandidate() const {
    return Candidate{qEmpNoList.asString(QStringLiteral("EmpCode")),
                     qEmpNoList.asString(QStringLiteral("EmpName")),
                     qEmpNoList.asString(QStringLiteral("CompCode")),
                     qEmpNoList.asString(QStringLiteral("DartNo"))};
}

void DrawEngine::LoadWhiteList(int itemRecNo) {
    qAward.close();
    qAward.setSql(sql::selectOpenWhiteRowsOfItem(itemRecNo));
    qAward.open();
    // Keys are taken before any event runs: a nested refresh reopens the
    // view and would restart a walk over it.
    std::vector<int> keys;
    keys.reserve(size_t(qAward.recordCount()));
    for (qAward.first(); !qAward.eof(); qAward.next())
        keys.push_back(qAward.asInteger(QStringLiteral("RecNo")));
    WhiteKeys.clear();
    for (int key : keys) {
        events_.processEvents();
        WhiteKeys.push_back(key);
    }
}

bool DrawEngine::IsExcluded(const QString& number, const QString& company) {
    if (!qAwardBlank.isOpen())
        qAwardBlank.open();
    if (qAwardBlank.locate(QStringLiteral("sNo;sCompCode"), {number, company}))
        return true;
    if (!qAwardList.isOpen())
        qAwardList.open();
    return qAwardList.locate(QStringLiteral("sNo;sCompcode"), {number, company});
}

bool DrawEngine::IsOnWhiteList(const QString& number, const QString& company) {
    Query query(connection_, sql::selectWhiteRowsOfPerson(number, company));
    query.open();
    return !query.isEmpty();
}

void DrawEngine::ShowCandidate(const QString& number, const QString& company,
                               const QString& department, const QString& name) {
    events_.processEvents();
    screen_.setRollingNumber(settings_.gdNumer == 0 ? number
                                                    : PadNumber(number, settings_.gdNumer, false));
    QString text = kRollingPrefix;
    if (settings_.gdShowCom)
        text += QLatin1Char(' ') + company;
    if (settings_.gdShowDept)
        text += QLatin1Char(' ') + department;
    text += QLatin1Char(' ') + name;
    screen_.setRollingName(text);
}

bool DrawEngine::RecordWinner(const QString& number, const QString& name,
                              const QString& itemRecNoText, const QString& company) {
    if (!qAwardList.isOpen())
        qAwardList.open();
    if (qAwardList.locate(QStringLiteral("sNo;sCompcode"), {number, company}))
        return false;
    const int itemRecNo = itemRecNoText.toInt();
    const int drawnBefore = CurDrawn;
    const bool rollingBefore = Rolling;
    try {
        // The count, the record and the used white-list entry stand or fall
        // together.
        Transaction transaction(connection_);
        if (qAwardItem.isOpen() && qAwardItem.locate(QStringLiteral("RecNo"), {itemRecNo})) {
            const int drawn = qAwardItem.asInteger(QStringLiteral("ExcNum")) + 1;
            const bool full = drawn >= qAwardItem.asInteger(QStringLiteral("SumNumber"));
            qAwardItem.edit();
            qAwardItem.setField(QStringLiteral("ExcNum"), drawn);
            if (full)
                qAwardItem.setField(QStringLiteral("IsExec"), true);
            qAwardItem.post();
            if (itemRecNo == CurrentItemNo)
                ++CurDrawn;
            if (full)
                Rolling = false;
        }
        qAwardList.append();
        qAwardList.setField(QStringLiteral("sNo"), number);
        qAwardList.setField(QStringLiteral("sName"), name);
        qAwardList.setField(QStringLiteral("sCompcode"), company);
        qAwardList.setField(QStringLiteral("sTime"), itemRecNo);
        qAwardList.post();
        if (qAward.isOpen() && qAward.locate(QStringLiteral("sNo;sCompCode"), {number, company})) {
            qAward.setField(QStringLiteral("Checked"), true);
            qAward.post();
        }
        transaction.commit();
    } catch (...) {
        CurDrawn = drawnBefore;
        Rolling = rollingBefore;
        resyncAfterFailedRecord();
        throw;
    }
    return true;
}

// The rows the three views hold may be ahead of the rolled-back database.
void DrawEngine::resyncAfterFailedRecord() {
    for (DataSet* view : {&qAwardItem, &qAwardList, &qAward}) {
        try {
            view->close();
            view->open();
        } catch (const Error&) {
            // Left closed; the next use opens it again. The first error is
            // the one the operator must see.
        }
    }
}

void DrawEngine::LoadCurrentItem() {
    qAwardItem.close();
    qAwardItem.setSql(sql::selectCurrentItem(CurrentItemNo));
    qAwardItem.open();
    if (qAwardItem.isEmpty()) {
        CurrentItemNo = FirstOpenItem();
        qAwardItem.close();
        qAwardItem.setSql(sql::selectCurrentItem(CurrentItemNo));
        qAwardItem.open();
    }
    if (qAwardItem.isEmpty()) {
        // No current item at all, so no draw can count a winner on a full one.
        clearCurrentItem();
        showStatus(kNoItemStatus);
        return;
    }
    copyCurrentItem();
    showStatus(QStringLiteral("现在抽取:") + CurItemName + QStringLiteral(", 奖品:") + CurPrize +
               QStringLiteral(", 共:") + QString::number(CurTotal) +
               QStringLiteral("人,准备抽取第:") + QString::number(CurDrawn + 1) +
               QStringLiteral("位."));
}

int DrawEngine::FirstOpenItem() {
    Query query(connection_, sql::selectFirstOpenItem());
    query.open();
    return query.scalarInteger();
}

void DrawEngine::clearCurrentItem() {
    CurrentItemNo = 0;
    PerDraw = 0;
    CurItemName.clear();
    CurPrize.clear();
    CurTotal = 0;
    CurDrawn = 0;
}

// ---- Screen and sound ------------------------------------------------------

void DrawEngine::startSound(const QString& fileName) {
    sounds_.close();
    sounds_.setUrl(ProgramDir::path() + fileName);
    sounds_.hide();
}

void DrawEngine::showStatus(const QString& text) {
    screen_.setStatusLine(text);
}

QString DrawEngine::PadNumber(const QString& text, int width, bool atRight) {
    // Characters are counted as code points, so a character outside the
    // basic plane is neither split nor counted twice.
    const QList<uint> points = text.toUcs4();
    if (width <= 0)
        return QString();
    if (points.size() >= width)
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), width);
    const QString zeros(width - int(points.size()), QLatin1Char('0'));
    return atRight ? text + zeros : zeros + text;
}

} // namespace tombolix
