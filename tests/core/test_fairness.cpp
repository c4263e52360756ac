// Every index, and every person who may win, is equally likely: chi-square
// goodness-of-fit tests at alpha = 1e-6, so a correct program fails one run
// in a million.
#include "platform/Seams.h"
#include "store/Statements.h"
#include "support/DrawRig.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <vector>

using namespace tombolix;
using namespace tombolix::test;

namespace {

constexpr double kAlpha = 1e-6;
constexpr double kBias = 0.05;  // relative excess of one cell to be seen
constexpr double kPower = 0.99; // wanted chance of seeing it

// Regularized upper incomplete gamma Q(a, x): series below a + 1, Lentz's
// continued fraction above.
double upperGamma(double a, double x) {
    if (x <= 0)
        return 1.0;
    const double logFront = a * std::log(x) - x - std::lgamma(a);
    if (x < a + 1) {
        double term = 1.0 / a, sum = term;
        for (int n = 1; n < 100000 && std::fabs(term) > std::fabs(sum) * 1e-16; ++n) {
            term *= x / (a + n);
            sum += term;
        }
        return 1.0 - sum * std::exp(logFront);
    }
    const double tiny = 1e-300;
    double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
    for (int i = 1; i < 100000; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        d = std::fabs(d) < tiny ? tiny : d;
        c = b + an / c;
        c = std::fabs(c) < tiny ? tiny : c;
        d = 1 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1) < 1e-16)
            break;
    }
    return std::exp(logFront) * h;
}

// P(chi-square with df degrees > x).
double chiSquareTail(double x, int df) {
    return upperGamma(df / 2.0, x / 2.0);
}

double criticalValue(int df) {
    double lo = 0, hi = df + 100.0 * std::sqrt(2.0 * df) + 100;
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        (chiSquareTail(mid, df) > kAlpha ? lo : hi) = mid;
    }
    return hi;
}

// P(noncentral chi-square(df, lambda) > x), as a Poisson mixture of central
// ones.
double noncentralTail(double x, int df, double lambda) {
    const double half = lambda / 2;
    const int terms = int(half + 12 * std::sqrt(half) + 40);
    double sum = 0;
    for (int j = 0; j < terms; ++j) {
        const double weight =
            std::exp(-half + j * std::log(std::max(half, 1e-300)) - std::lgamma(j + 1.0));
        sum += weight * chiSquareTail(x, df + 2 * j);
    }
    return sum;
}

// With one of k equal cells raised by the relative bias b (the others lowered
// evenly), the statistic over N samples is noncentral with
// lambda = N * b^2 / (k - 1). The power of N samples at alpha:
double powerOf(double samples, int cells, double bias) {
    const int df = cells - 1;
    return noncentralTail(criticalValue(df), df, samples * bias * bias / df);
}

// The fewest samples that see a one-cell bias of kBias with power kPower.
// Figures (printed by the tests): k = 2 needs 20,840 samples, k = 7 159,789,
// k = 10 259,443, k = 16 484,892; k = 1000 needs about 1.3 * 10^8, beyond the budget,
// so it is capped at 4 * 10^6 and sees a 30% one-cell bias with power 0.99.
double samplesFor(int cells) {
    double lo = 1, hi = 1e12;
    for (int i = 0; i < 200; ++i) {
        const double mid = std::sqrt(lo * hi);
        (powerOf(mid, cells, kBias) < kPower ? lo : hi) = mid;
    }
    return std::ceil(hi);
}

// The smallest one-cell bias the given sample sees with power kPower.
double detectableBias(double samples, int cells) {
    double lo = 0, hi = 10;
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2;
        (powerOf(samples, cells, mid) < kPower ? lo : hi) = mid;
    }
    return hi;
}

struct Verdict {
    double statistic;
    int df;
    double p;
};

Verdict chiSquare(const std::vector<long long>& observed) {
    long long total = 0;
    for (long long o : observed)
        total += o;
    const double expected = double(total) / double(observed.size());
    double statistic = 0;
    for (long long o : observed)
        statistic += (double(o) - expected) * (double(o) - expected) / expected;
    const int df = int(observed.size()) - 1;
    return {statistic, df, chiSquareTail(statistic, df)};
}

void report(const char* what, long long samples, int cells, const Verdict& v) {
    std::printf("[fairness] %s: samples %lld, cells %d, chi2 %.2f, df %d, critical %.2f, p %.3g, "
                "power for 5%% bias %.4f, bias seen with power 0.99 %.1f%%\n",
                what, samples, cells, v.statistic, v.df, criticalValue(v.df), v.p,
                powerOf(double(samples), cells, kBias),
                100 * detectableBias(double(samples), cells));
    ::testing::Test::RecordProperty(std::string(what) + " p", std::to_string(v.p));
}

TEST(ChiSquareHelpers, AgreeWithTabulatedValues) {
    EXPECT_NEAR(chiSquareTail(3.841459, 1), 0.05, 1e-6);
    EXPECT_NEAR(chiSquareTail(23.209251, 10), 0.01, 1e-7);
    EXPECT_NEAR(criticalValue(1), 23.928127, 1e-4);
    EXPECT_NEAR(chiSquareTail(135.807, 100), 0.01, 1e-5);
    // A noncentral statistic with lambda 0 is a central one.
    EXPECT_NEAR(noncentralTail(10, 4, 0), chiSquareTail(10, 4), 1e-12);
}

// ---- The system random source ----------------------------------------------

TEST(SystemRandomFairness, EveryIndexIsEquallyLikely) {
    // Samples are capped at 4 * 10^6 a case (a few seconds on one core).
    constexpr double kCap = 4e6;
    struct Case {
        const char* what;
        int count;
        int cells; // indexes gathered into this many equal buckets
    } cases[] = {
        {"count 2", 2, 2},
        {"count 7", 7, 7},
        {"count 10", 10, 10},
        {"count 1000", 1000, 1000},
        // Without rejection, 2^32 mod 3*2^29 = 2^30 would favour the lowest
        // two thirds of the indexes by half again: buckets 0..10 of 16.
        {"count 3*2^29 in 16 buckets", 3 << 29, 16},
    };
    SystemRandomSource random;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const long long samples = (long long)std::min(samplesFor(c.cells), kCap);
        std::vector<long long> observed(size_t(c.cells), 0);
        for (long long i = 0; i < samples; ++i) {
            const int index = random.index(c.count);
            ASSERT_GE(index, 0);
            ASSERT_LT(index, c.count);
            ++observed[size_t(std::int64_t(index) * c.cells / c.count)];
        }
        const Verdict v = chiSquare(observed);
        report(c.what, samples, c.cells, v);
        EXPECT_GT(v.p, kAlpha) << "chi2 " << v.statistic << " df " << v.df;
    }
}

// ---- The whole draw --------------------------------------------------------

TEST(DrawFairness, EveryoneWhoMayWinIsEquallyLikelyAndNobodyElseWins) {
    // Seven may win (df 6). Power 0.99 for a 5% one-cell bias needs 159,789
    // draws; at about half a millisecond a draw that is beyond the budget, so
    // the sample is capped at 10,000 a mode (some 11 s for both). That sees a
    // one-cell bias of about 20% with power 0.99; both figures are printed.
    constexpr double kCapDraws = 10000;
    for (bool whiteListOn : {false, true}) {
        SCOPED_TRACE(whiteListOn ? "white list on" : "white list off");
        TestDatabase db;
        // Durability is no matter here; without a sync per write a draw is
        // several times quicker.
        db.connection().execute("PRAGMA synchronous=OFF");
        Settings settings = defaultSettings();
        settings.IsBlank = whiteListOn;
        settings.iTime = 1;
        DrawSeams seams;
        auto boxes = RecordingMessageBox::install();
        SystemRandomSource random;
        DrawEngine engine{db.connection(), settings, seams.screen,
                          seams.events,    random,   seams.sounds};
        for (const char* n : {"1001", "P02", "P03", "P04", "P05", "P06"})
            db.addEmployee(n, QStringLiteral("A ") + n, "A", "dept");
        for (const char* n : {"1001", "P02", "P07", "P08", "P09", "P10"})
            db.addEmployee(n, QStringLiteral("B ") + n, "B", "dept");
        const int old = db.addItem("old", 1, 1, 1, 1);
        const int main = db.addItem("main", 1, 1, 2);
        const int later = db.addItem("later", 1, 1, 3);
        addBlackListed(db, "1001", "A");
        addBlackListed(db, "P02", "B");
        addWinner(db, "P03", "A", old);
        addWhiteListed(db, "P04", "A P04", "A", later, false);
        addWhiteListed(db, "P07", "B P07", "B", old, true);
        const QStringList mayWin = {"P02@A", "P05@A", "P06@A", "1001@B", "P08@B", "P09@B", "P10@B"};

        const long long draws = (long long)std::min(samplesFor(int(mayWin.size())), kCapDraws);
        std::map<QString, long long> tally;
        for (long long i = 0; i < draws; ++i) {
            db.connection().execute(
                QStringLiteral("delete from AwardList where sTime = %1").arg(main));
            db.connection().execute(
                QStringLiteral("update AwardItem set ExcNum = 0, IsExec = 0 where RecNo = %1")
                    .arg(main));
            // After a draw the items view shows the current item alone.
            engine.qAwardItem.setSql(sql::selectUnfinishedItems());
            engine.reopenViews();
            engine.takeCurrentItem();
            engine.rebuildPool();
            ASSERT_EQ(engine.CurrentItemNo, main) << "draw " << i;
            seams.events.afterSleeps(50, seams.events.sleeps(50) + 1,
                                     [&engine] { engine.ActStartExecute(); });
            engine.ActStartExecute();
            const QStringList won = winnersOf(db, main);
            ASSERT_EQ(won.size(), 1) << "draw " << i;
            ASSERT_TRUE(mayWin.contains(won.front())) << won.front().toStdString();
            ++tally[won.front()];
        }
        EXPECT_TRUE(boxes->shown().empty());
        std::vector<long long> observed;
        for (const QString& person : mayWin)
            observed.push_back(tally[person]);
        const Verdict v = chiSquare(observed);
        report(whiteListOn ? "draw, white list on" : "draw, white list off", draws,
               int(mayWin.size()), v);
        EXPECT_GT(v.p, kAlpha) << "chi2 " << v.statistic << " df " << v.df;
    }
}

} // namespace
