// Every index of the system's random source is equally likely, and the
// statistics behind that claim agree with tabulated values.
#include "platform/Seams.h"
#include "support/ChiSquare.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

using namespace tombolix;
using namespace tombolix::test;

namespace {

TEST(ChiSquareHelpers, AgreeWithTabulatedValues) {
    EXPECT_NEAR(chi::tail(3.841459, 1), 0.05, 1e-6);
    EXPECT_NEAR(chi::tail(23.209251, 10), 0.01, 1e-7);
    EXPECT_NEAR(chi::criticalValue(1), 23.928127, 1e-4);
    EXPECT_NEAR(chi::tail(135.807, 100), 0.01, 1e-5);
    // A noncentral statistic with lambda 0 is a central one.
    EXPECT_NEAR(chi::noncentralTail(10, 4, 0), chi::tail(10, 4), 1e-12);
}

TEST(SystemRandomFairness, EveryIndexIsEquallyLikely) {
    // Samples are capped at 4 * 10^6 a case (a few seconds on one core): only
    // count 1000, which would need 1.3 * 10^8, sees less, a one-cell bias of
    // about 30%.
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
        const long long samples = (long long)std::min(chi::samplesFor(c.cells), kCap);
        std::vector<long long> observed(size_t(c.cells), 0);
        for (long long i = 0; i < samples; ++i) {
            const int index = random.index(c.count);
            ASSERT_GE(index, 0);
            ASSERT_LT(index, c.count);
            ++observed[size_t(std::int64_t(index) * c.cells / c.count)];
        }
        const chi::Verdict v = chi::test(observed);
        chi::report(c.what, samples, c.cells, v);
        EXPECT_GT(v.p, chi::kAlpha) << "chi2 " << v.statistic << " df " << v.df;
    }
}

} // namespace
