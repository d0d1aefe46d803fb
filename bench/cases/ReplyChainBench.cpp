// Case 1: the reply chain that ReturnWebserviceXML and the vendor loader run on a
// GetVendorDataVendorMaster reply, against a plain pugixml parse of the same bytes.

#include "BenchData.h"
#include "Pairs.h"
#include "ResultTable.h"

#include "core/DataSetWalk.h"
#include "core/XmlText.h"
#include "soap/Unwrap.h"

#include <palletry_service/ReferenceService.h>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <chrono>
#include <memory>

namespace palletry::bench {
namespace {

/// The big load's vendor master reply, fetched once.
const std::string& bigReply()
{
    static const std::string bytes = [] {
        std::string reply = vendorMasterReply(bigService());
        ResultTable::instance().setNote("reply_size", megabytes(reply.size()));
        return reply;
    }();
    return bytes;
}

/// Milliseconds spent in each stage of one chain run (zero when not asked for).
struct StageTimes
{
    double parse = 0, read = 0, walk = 0;
};

/**
 * Exactly what a read call for the rows and LoadVendors do with the bytes once they are in:
 * parse the reply as the transport hands it up (a buffer of its own), with its long result
 * text set aside, read the DataSet's rows where that text stands escaped (which also tells
 * that it holds a DataSet and drops the reply's nodes), and walk the rows over VendorID /
 * Name, the values as QString.
 * Returns the rows seen, or -1 when the rows could not be read so (the bench then fails).
 */
int runChain(const std::string& bytes, StageTimes* times = nullptr)
{
    double t = threadCpuMs();
    auto lap = [&](double StageTimes::*stage) {
        if (times) {
            times->*stage += threadCpuMs() - t;
            t = threadCpuMs();
        }
    };
    // The bytes as the transfer hands them over: a buffer of the reply's own.
    QByteArray received(bytes.data(), static_cast<qsizetype>(bytes.size()));
    pugi::xml_document reply;
    XmlText::SetAside aside;
    if (!XmlText::loadSettingTextAside(reply, received, aside) || !aside)
        return -1;
    lap(&StageTimes::parse);
    QByteArray field;
    std::shared_ptr<DataSetWalk::Document> document;
    if (!Unwrap::readDataSet(Unwrap::Operation::GetVendorDataVendorMaster, reply, received, field, document, aside))
        return -1;
    lap(&StageTimes::read);
    static const DataSetWalk walk{"VendorID", "Name"};
    qsizetype characters = 0;
    const int rows = walk.walk(*document, [&](const QVector<QString>& row) { characters += row[0].size() + row[1].size(); });
    benchmark::DoNotOptimize(characters);
    lap(&StageTimes::walk);
    return rows;
}

/// What every XML reply costs at least: the same bytes copied and parsed by pugixml, then dropped.
bool parseFloor(const std::string& bytes)
{
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(document.first_child());
    return bool(parsed);
}

/// The chain against the floor, in turns.
void replyChain(benchmark::State& state)
{
    const std::string& bytes = bigReply();
    if (runChain(bytes) != BigVendorCount || !parseFloor(bytes)) {
        state.SkipWithError("the chain did not give 50,000 vendor rows, or the reply does not parse");
        return;
    }
    for (auto _ : state) {
        record(state, "replyChain", interleave(21, [&] {
            const double start = threadCpuMs();
            benchmark::DoNotOptimize(runChain(bytes));
            return threadCpuMs() - start;
        }, [&] {
            const double start = threadCpuMs();
            parseFloor(bytes);
            return threadCpuMs() - start;
        }));
    }
}

/// The same chain with a clock between the stages: where its time goes.
void replyChainStages(benchmark::State& state)
{
    const std::string& bytes = bigReply();
    StageTimes times;
    for (auto _ : state)
        benchmark::DoNotOptimize(runChain(bytes, &times));
    const auto avg = benchmark::Counter::kAvgIterations;
    state.counters["parse"] = benchmark::Counter(times.parse, avg);
    state.counters["read"] = benchmark::Counter(times.read, avg);
    state.counters["walk"] = benchmark::Counter(times.walk, avg);
}

PALLETRY_PAIR_CASE(replyChain);
BENCHMARK(replyChainStages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
} // namespace palletry::bench
