#pragma once

#include <vector>

// Chi-square goodness-of-fit over equally likely cells, at a significance
// level where a correct program fails one run in a million, with the sample
// size that sees a small bias of one cell.
namespace tombolix::test::chi {

constexpr double kAlpha = 1e-6;
constexpr double kBias = 0.05;  // relative excess of one cell to be seen
constexpr double kPower = 0.99; // wanted chance of seeing it

// P(chi-square with df degrees > x).
double tail(double x, int df);
// The statistic's value that a correct program exceeds with chance kAlpha.
double criticalValue(int df);
// P(noncentral chi-square(df, lambda) > x).
double noncentralTail(double x, int df, double lambda);
// The chance that `samples` samples over `cells` cells see one cell raised
// by the relative `bias`.
double powerOf(double samples, int cells, double bias);
// The fewest samples that see a one-cell bias of kBias with power kPower.
double samplesFor(int cells);
// The smallest one-cell bias the given sample sees with power kPower.
double detectableBias(double samples, int cells);

struct Verdict {
    double statistic;
    int df;
    double p;
};

Verdict test(const std::vector<long long>& observed);
// Prints the figures of one test and records its p-value in the test report.
void report(const char* what, long long samples, int cells, const Verdict& v);

} // namespace tombolix::test::chi
