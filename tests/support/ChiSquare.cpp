#include "support/ChiSquare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace tombolix::test::chi {

namespace {

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

} // namespace

// P(chi-square with df degrees > x).
double tail(double x, int df) {
    return upperGamma(df / 2.0, x / 2.0);
}

double criticalValue(int df) {
    double lo = 0, hi = df + 100.0 * std::sqrt(2.0 * df) + 100;
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        (tail(mid, df) > kAlpha ? lo : hi) = mid;
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
        sum += weight * tail(x, df + 2 * j);
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
// k = 2 needs 20,840 samples, k = 7 159,789, k = 10 259,443, k = 16 484,892,
// k = 1000 about 1.3 * 10^8.
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

Verdict test(const std::vector<long long>& observed) {
    long long total = 0;
    for (long long o : observed)
        total += o;
    const double expected = double(total) / double(observed.size());
    double statistic = 0;
    for (long long o : observed)
        statistic += (double(o) - expected) * (double(o) - expected) / expected;
    const int df = int(observed.size()) - 1;
    return {statistic, df, tail(statistic, df)};
}

void report(const char* what, long long samples, int cells, const Verdict& v) {
    std::printf("[fairness] %s: samples %lld, cells %d, chi2 %.2f, df %d, critical %.2f, p %.3g, "
                "power for 5%% bias %.4f, bias seen with power 0.99 %.1f%%\n",
                what, samples, cells, v.statistic, v.df, criticalValue(v.df), v.p,
                powerOf(double(samples), cells, kBias),
                100 * detectableBias(double(samples), cells));
    ::testing::Test::RecordProperty(std::string(what) + " p", std::to_string(v.p));
}

} // namespace tombolix::test::chi
