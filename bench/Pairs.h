#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace palletry::bench {

/**
 * What timing a case against its reference in turns gave: each side's median
 * time and the median of the pairs' ratios (ours / reference). A neighbour's
 * load on a shared machine slows the two halves of a pair alike, so the ratio
 * holds where the absolute times do not.
 */
struct PairResult
{
    double ours = 0;       ///< median milliseconds of ours
    double reference = 0;  ///< median milliseconds of the reference
    double ratio = 0;      ///< median of ours / reference over the pairs
    int pairs = 0;
    std::vector<double> ratios;  ///< each pair's ours / reference, in the order run
};

/**
 * Runs @p ours and @p reference once each untimed (both warm), then @p pairs times in
 * turns: ours, reference, ours, reference... Each call returns the milliseconds of one
 * sample. @p pairs should be odd, so that the median is one pair's ratio.
 */
PairResult interleave(int pairs, const std::function<double()>& ours, const std::function<double()>& reference);

/// Each side's median and the median of the pairs' ratios of @p ours[i] / @p reference[i].
PairResult summarize(const std::vector<double>& ours, const std::vector<double>& reference);

/// Median of @p values (not empty).
double median(std::vector<double> values);

/// Milliseconds since @p start.
inline double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

/**
 * Milliseconds of CPU this thread has used: the clock of cases that run on the
 * user-interface thread alone. Wall time would add whatever a neighbour's process
 * took of the core meanwhile, which weighs far more on a 5 ms step than on the 50 ms
 * one it is paired with.
 */
double threadCpuMs();

/// Keeps @p result under @p name for the table and reports ours as the benchmark's time.
void record(benchmark::State& state, const std::string& name, const PairResult& result);

/// A case that runs its pairs once: the pairs are its repetitions.
#define PALLETRY_PAIR_CASE(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)

} // namespace palletry::bench
