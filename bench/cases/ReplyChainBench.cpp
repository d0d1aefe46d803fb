// Case 1: the reply chain that ReturnWebserviceXML and the vendor loader run on a
// GetVendorDataVendorMaster reply, against a plain pugixml parse of the same bytes.

#include "BenchData.h"
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

using Clock = std::chrono::steady_clock;

/// The reply of a service seeded with the big vendor master, fetched once.
const std::string& bigReply()
{
    static const std::string bytes = [] {
        palletry_service::Options options;
        options.demoData = false;
        options.vendors = BigVendorCount;
        palletry_service::ReferenceService service(options);
        if (!service.start(0))
            throw std::runtime_error("reference service did not start");
        std::string reply = vendorMasterReply(service);
        ResultTable::instance().setNote("reply_size", megabytes(reply.size()));
        return reply;
    }();
    return bytes;
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// Milliseconds spent in each stage of one chain run (zero when not asked for).
struct StageTimes
{
    double parse = 0, text = 0, release = 0, load = 0, walk = 0;
};

/**
 * Exactly what a read call and LoadVendors do with the bytes once they are in:
 * parse the reply where it was received (as the transport hands it up), write it out
 * unescaped with the envelope and the operation's tags removed (the UTF-8
 * field), drop the reply (the next call replaces it), load the DataSet from
 * the field and walk its rows over VendorID / Name, the values as QString.
 * Returns the rows seen.
 */
int runChain(const std::string& bytes, StageTimes* times = nullptr)
{
    Clock::time_point t = Clock::now();
    auto lap = [&](double StageTimes::*stage) {
        if (times) {
            times->*stage += msSince(t);
            t = Clock::now();
        }
    };
    // The bytes as the transfer hands them over: a buffer of the reply's own.
    auto received = std::make_unique<std::string>(bytes);
    auto reply = std::make_unique<pugi::xml_document>();
    if (!XmlText::loadEncodedInPlace(*reply, received->data(), received->size()))
        return -1;
    lap(&StageTimes::parse);
    const QByteArray field = Unwrap::dataSetText(Unwrap::Operation::GetVendorDataVendorMaster, *reply, bytes.size());
    lap(&StageTimes::text);
    reply.reset();
    received.reset();
    lap(&StageTimes::release);
    DataSetWalk::Document document;
    if (!document.load(field))
        return -1;
    lap(&StageTimes::load);
    static const DataSetWalk walk{"VendorID", "Name"};
    qsizetype characters = 0;
    const int rows = walk.walk(document, [&](const QVector<QString>& row) { characters += row[0].size() + row[1].size(); });
    benchmark::DoNotOptimize(characters);
    lap(&StageTimes::walk);
    return rows;
}

void replyChain(benchmark::State& state)
{
    const std::string& bytes = bigReply();
    if (runChain(bytes) != BigVendorCount) {
        state.SkipWithError("the chain did not give 50,000 vendor rows");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(runChain(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void replyFloor(benchmark::State& state)
{
    const std::string& bytes = bigReply();
    for (auto _ : state) {
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
        if (!parsed) {
            state.SkipWithError("the reply does not parse");
            return;
        }
        benchmark::DoNotOptimize(document.first_child());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
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
    state.counters["text"] = benchmark::Counter(times.text, avg);
    state.counters["release"] = benchmark::Counter(times.release, avg);
    state.counters["load"] = benchmark::Counter(times.load, avg);
    state.counters["walk"] = benchmark::Counter(times.walk, avg);
}

BENCHMARK(replyFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(replyChain)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(replyChainStages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
} // namespace palletry::bench
