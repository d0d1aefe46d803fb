#include "Pairs.h"

#include "ResultTable.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace palletry::bench {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

PairResult interleave(int pairs, const std::function<double()>& ours, const std::function<double()>& reference)
{
    // Caches, lazily built state and the allocator's pools warmed for both sides alike.
    ours();
    reference();
    std::vector<double> o, r;
    for (int i = 0; i < pairs; ++i) {
        o.push_back(ours());
        r.push_back(reference());
    }
    return summarize(o, r);
}

PairResult summarize(const std::vector<double>& ours, const std::vector<double>& reference)
{
    PairResult result;
    for (std::size_t i = 0; i < ours.size() && i < reference.size(); ++i)
        result.ratios.push_back(reference[i] > 0 ? ours[i] / reference[i] : 0);
    result.pairs = int(result.ratios.size());
    if (result.ratios.empty())
        return result;
    result.ours = median(ours);
    result.reference = median(reference);
    result.ratio = median(result.ratios);
    return result;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void record(benchmark::State& state, const std::string& name, const PairResult& result)
{
    ResultTable::instance().setPairs(name, result);
    state.SetIterationTime(result.ours / 1e3);
    std::string ratios;
    for (double r : result.ratios)
        ratios += " " + std::to_string(r).substr(0, 5);
    std::fprintf(stderr, "  %-20s ours %s, reference %s, ours/reference per pair:%s\n", name.c_str(),
                 ResultTable::formatMs(result.ours).toUtf8().constData(),
                 ResultTable::formatMs(result.reference).toUtf8().constData(), ratios.c_str());
}

} // namespace palletry::bench
