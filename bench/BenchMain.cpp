// Runs every benchmark case headless and prints one table: case, size, time, the
// reference and ratio where a case has one, and whether each target is met.
// Timings are reported, never judged by an exit code.

#include "BenchData.h"
#include "Pairs.h"
#include "ResultTable.h"

#include <palletry_service/ReferenceService.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <optional>

using palletry::bench::ResultTable;

namespace {

/// Keeps what the benchmarks measured instead of printing it: failures, and the time and counters of cases without pairs.
class CollectingReporter : public benchmark::BenchmarkReporter
{
public:
    bool ReportContext(const Context&) override { return true; }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ResultTable& table = ResultTable::instance();
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            if (run.error_occurred) {
                table.setNote("error:" + name, QString::fromStdString(run.error_message));
                std::fprintf(stderr, "  %s failed: %s\n", name.c_str(), run.error_message.c_str());
                continue;
            }
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!single && run.aggregate_name != "median")
                continue;
            const double ms = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            table.setTime(name, ms);
            for (const auto& [counter, value] : run.counters)
                table.setCounter(name, counter, value.value);
            std::fprintf(stderr, "  %-20s %s\n", name.c_str(), ResultTable::formatMs(ms).toUtf8().constData());
        }
    }
};

// Targets for ratios: each case's median pair against its reference in the same run.
constexpr double LineItemsTimes = 4;   // LoadLineItemsOrderDetail <= this x the raw HTTP of its request
constexpr double FindFaster = 1.5;     // cmdFind_Click >= this x faster than findItems
constexpr double SaveTimes = 3;        // a save <= this x the raw HTTP of its requests
constexpr double PaintedTimes = 1.25;  // last byte -> painted <= this x the transfer on the UI thread
constexpr double LongestGapMs = 50;    // the user-interface thread's longest pause while a call is in flight
constexpr double FrameGapMs = 17;      // its longest pause over the whole of opening the big load (one frame at 60 Hz)
constexpr double WarmOpenTimes = 1.3;  // LoadData in a warm process <= this x the raw HTTP of its three requests from it
constexpr double ChainTimes = 1.5;     // the reply chain <= this x a plain pugixml parse of the reply
constexpr double BigReplyTimes = 2.5;  // peak memory opening the 60 MB reply <= this x the reply above the start

QString times(double ratio)
{
    return QString::number(ratio, 'f', ratio < 10 ? 2 : 1) + QStringLiteral("x");
}

QString missing(const std::string& name, const QString& otherwise)
{
    const QString error = ResultTable::instance().note("error:" + name);
    return error.isEmpty() ? otherwise : QStringLiteral("failed: ") + error;
}

/// Whether a case is judged by how many times faster it is than its reference, or by how many times its reference it takes.
enum class Sense
{
    Faster,
    AtMost
};

/**
 * The row of a case timed in turns against its reference (record() under @p name):
 * each side's median time, and the median ratio of the pairs against @p n.
 */
ResultTable::Row pairRow(const ResultTable& table, const QString& caseName, const QString& size, const std::string& name,
                         Sense sense, double n, const QString& against)
{
    ResultTable::Row row(caseName, size);
    const QString count = QString::number(n);
    row.target = sense == Sense::Faster ? QStringLiteral(">= %1x faster than %2").arg(count, against)
                                        : QStringLiteral("<= %1x %2").arg(count, against);
    if (const auto pairs = table.pairs(name)) {
        row.value = ResultTable::formatMs(pairs->ours);
        row.reference = ResultTable::formatMs(pairs->reference);
        if (sense == Sense::Faster) {
            const double faster = pairs->ratio > 0 ? 1.0 / pairs->ratio : 0;
            row.ratio = times(faster) + QStringLiteral(" faster");
            row.met = faster >= n;
        } else {
            row.ratio = times(pairs->ratio) + QLatin1Char(' ') + against;
            row.met = pairs->ratio <= n;
        }
    } else {
        row.remark = missing(name, ResultTable::NotRun);
    }
    return row;
}

/**
 * The row of a longest-gap case (record() under @p name): our median gap in milliseconds
 * against @p limitMs, the reference's gap beside it with @p against; when it did not run,
 * the failure recorded under @p caseName.
 */
ResultTable::Row gapRow(const ResultTable& table, const QString& title, const QString& size, const std::string& name,
                        const std::string& caseName, double limitMs, const QString& against)
{
    ResultTable::Row row(title, size);
    row.target = QStringLiteral("<= %1 ms").arg(limitMs);
    if (const auto pairs = table.pairs(name)) {
        row.value = ResultTable::formatMs(pairs->ours);
        row.reference = ResultTable::formatMs(pairs->reference) + against;
        row.met = pairs->ours <= limitMs;
    } else {
        row.remark = missing(caseName, ResultTable::NotRun);
    }
    return row;
}

/// Case 1 rows: the chain against the floor, then where the chain's time goes.
void replyChainRows(ResultTable& table)
{
    const QString replySize = table.note("reply_size");
    const QString size = QStringLiteral("50,000 vendors") + (replySize.isEmpty() ? QString() : QStringLiteral(", ") + replySize);
    table.addRow(pairRow(table, QStringLiteral("1 reply chain -> DataSet walk (vs pugixml parse)"), size, "replyChain",
                         Sense::AtMost, ChainTimes, QStringLiteral("floor")));

    const auto chain = table.pairs("replyChain");
    static const std::pair<const char*, const char*> stages[] = {
        {"parse", "received copy, parse with the text aside"},
        {"read", "Unwrap::readDataSet: rows read where they stand"},
        {"walk", "DataSetWalk VendorID/Name -> QString"}};
    for (const auto& [counter, label] : stages) {
        const auto ms = table.counter("replyChainStages", counter);
        if (!ms)
            continue;
        ResultTable::Row stage(QStringLiteral("  1 stage: ") + QLatin1String(label), QString(), ResultTable::formatMs(*ms));
        if (chain)
            stage.ratio = times(*ms / chain->reference) + QStringLiteral(" floor");
        table.addRow(stage);
    }
}

void listRows(ResultTable& table)
{
    const QString size = QStringLiteral("50,000 rows");
    const QString tree = QStringLiteral("QTreeWidget");
    table.addRow(pairRow(table, QStringLiteral("3 lstVendors click: sort by name"), size, "sortByName", Sense::Faster, 8, tree));
    table.addRow(pairRow(table, QStringLiteral("3 lstVendors click again: reverse"), size, "reverseByName", Sense::Faster, 8, tree));
    table.addRow(pairRow(table, QStringLiteral("3 lstVendors fill (addRows)"), size, "fillVendors", Sense::Faster, 6, tree));
}

/// What opening a load in a fresh process gave: time, peak and start (VmHWM).
struct OpenLoadRun
{
    double ms = 0;
    long peakKb = 0;
    long baseKb = 0;
};

/**
 * Opens load BigLoadId of the service at @p server in a fresh process (bench_open_load),
 * so that the peak memory measured is the control's process alone; with @p raw, the
 * same process sends the three requests as raw HTTP instead. Nothing, with the reason
 * in @p failure, when the run fails or the load opens incompletely.
 */
std::optional<OpenLoadRun> openLoadInProcess(const std::string& server, int vendors, int orders, bool raw, QString& failure)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_open_load");
    if (!QFileInfo::exists(program)) {
        failure = QStringLiteral("bench_open_load not built");
        return std::nullopt;
    }
    QStringList arguments{QString::fromStdString(server), QString::number(palletry::bench::BigLoadId)};
    if (raw)
        arguments << QStringLiteral("raw");
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        failure = QStringLiteral("bench_open_load failed: ") + QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        return std::nullopt;
    }
    const QString line = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    QMap<QString, QString> values;
    for (const QString& pair : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    OpenLoadRun run;
    if (raw) {
        run.ms = values.value(QStringLiteral("raw_ms")).toDouble();
        return run;
    }
    if (values.value(QStringLiteral("vendors")).toInt() != vendors || values.value(QStringLiteral("orders")).toInt() != orders) {
        failure = QStringLiteral("the load opened incompletely: ") + line;
        return std::nullopt;
    }
    run.ms = values.value(QStringLiteral("load_ms")).toDouble();
    run.peakKb = values.value(QStringLiteral("peak_kb")).toLong();
    run.baseKb = values.value(QStringLiteral("base_kb")).toLong();
    return run;
}

/// Pairs of processes that open the big load (--open_load_runs).
int openLoadPairs = 7;

/**
 * Case 2: opens the big load with LoadData in fresh processes, in turns with fresh
 * processes sending the same three requests as raw HTTP (the service's and the
 * network's share), each process in the same state when its clock starts.
 */
void openLoad(benchmark::State& state)
{
    if (openLoadPairs <= 0) {
        for (auto _ : state) {
        }
        return;
    }
    palletry_service::ReferenceService& service = palletry::bench::bigService();
    QString failure;
    long peakKb = 0, baseKb = 0;
    auto run = [&](bool raw) {
        if (!failure.isEmpty())
            return 0.0;
        const auto opened = openLoadInProcess(service.serverName(), palletry::bench::BigVendorCount,
                                              palletry::bench::BigOrderCount, raw, failure);
        if (!opened)
            return 0.0;
        peakKb = std::max(peakKb, opened->peakKb);
        baseKb = std::max(baseKb, opened->baseKb);
        return opened->ms;
    };
    // For the record: the same requests from this warm process, which has none of a new process's costs.
    std::vector<double> warm;
    for (auto _ : state) {
        const palletry::bench::PairResult result =
            palletry::bench::interleave(openLoadPairs, [&] { return run(false); }, [&] {
                const auto start = std::chrono::steady_clock::now();
                for (const auto& [operation, envelope] : palletry::bench::openingRequests(palletry::bench::BigLoadId))
                    palletry::bench::postToService(service, operation, envelope);
                warm.push_back(palletry::bench::msSince(start));
                return run(true);
            });
        if (failure.isEmpty())
            palletry::bench::record(state, "openLoad", result);
    }
    if (!failure.isEmpty()) {
        state.SkipWithError(failure.toStdString().c_str());
        return;
    }
    ResultTable& table = ResultTable::instance();
    table.setCounter("openLoad", "peakMB", double(peakKb) / 1024.0);
    table.setCounter("openLoad", "baseMB", double(baseKb) / 1024.0);
    table.setCounter("openLoad", "warmRawMs", palletry::bench::median(warm));
}

/**
 * Case 2, memory against reply size: a vendor master reply of about 60 MB (just
 * under the 64 MiB a reply may have) through LoadData in fresh processes; the
 * highest peak above the process's start against the reply's size.
 */
void bigReply(benchmark::State& state)
{
    if (openLoadPairs <= 0) {
        for (auto _ : state) {
        }
        return;
    }
    constexpr int orders = 100;
    palletry_service::Options options;
    options.demoData = false;
    options.vendors = palletry::bench::HugeVendorCount;
    options.orders = orders;
    options.lines = 1;
    palletry_service::ReferenceService service(options);
    if (!service.start(0)) {
        state.SkipWithError("reference service did not start");
        return;
    }
    const std::size_t replyBytes = palletry::bench::vendorMasterReply(service).size();
    QString failure;
    double aboveKb = 0;
    std::vector<double> ms;
    for (auto _ : state) {
        for (int i = 0; i < 2 && failure.isEmpty(); ++i) {
            if (const auto opened = openLoadInProcess(service.serverName(), palletry::bench::HugeVendorCount, orders, false, failure)) {
                aboveKb = std::max(aboveKb, double(opened->peakKb - opened->baseKb));
                ms.push_back(opened->ms);
            }
        }
        if (!ms.empty())
            state.SetIterationTime(palletry::bench::median(ms) / 1e3);
    }
    if (!failure.isEmpty()) {
        state.SkipWithError(failure.toStdString().c_str());
        return;
    }
    ResultTable& table = ResultTable::instance();
    table.setTime("bigReply", palletry::bench::median(ms));
    table.setCounter("bigReply", "replyMB", double(replyBytes) / 1e6);
    table.setCounter("bigReply", "aboveStartMB", aboveKb * 1024.0 / 1e6);
}

PALLETRY_PAIR_CASE(openLoad);
BENCHMARK(bigReply)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void openLoadRows(ResultTable& table)
{
    const QString size = QStringLiteral("50,000 vendors, 2,000 orders");
    ResultTable::Row time = pairRow(table, QStringLiteral("2 open big load: LoadData end to end"), size, "openLoad",
                                    Sense::AtMost, 2.5, QStringLiteral("raw HTTP"));
    const auto pairs = table.pairs("openLoad");
    const auto warm = table.counter("openLoad", "warmRawMs");
    if (pairs && warm && *warm > 0)
        time.remark = QStringLiteral("raw HTTP from the warm bench process: %1 (LoadData %2 of that)")
                          .arg(ResultTable::formatMs(*warm), times(pairs->ours / *warm));
    table.addRow(time);
    table.addRow(pairRow(table, QStringLiteral("2 open big load: LoadData warm"), size, "openLoadWarm", Sense::AtMost,
                         WarmOpenTimes, QStringLiteral("raw HTTP")));
    ResultTable::Row memory(QStringLiteral("2 open big load: peak memory (VmHWM)"), size);
    memory.target = QStringLiteral("<= 80 MB");
    if (const auto peak = table.counter("openLoad", "peakMB")) {
        memory.value = QString::number(*peak, 'f', 0) + QStringLiteral(" MB");
        memory.reference = QString::number(*table.counter("openLoad", "baseMB"), 'f', 0) + QStringLiteral(" MB before");
        memory.met = *peak <= 80.0;
    } else {
        memory.remark = missing("openLoad", ResultTable::NotRun);
    }
    table.addRow(memory);

    ResultTable::Row big(QStringLiteral("2 open 60 MB reply: peak above start"),
                         QStringLiteral("%1 vendors").arg(QLocale(QLocale::English).toString(palletry::bench::HugeVendorCount)));
    big.target = QStringLiteral("<= %1x reply size").arg(BigReplyTimes);
    if (const auto above = table.counter("bigReply", "aboveStartMB")) {
        const double reply = *table.counter("bigReply", "replyMB");
        big.value = QString::number(*above, 'f', 0) + QStringLiteral(" MB");
        big.reference = QString::number(reply, 'f', 1) + QStringLiteral(" MB reply");
        big.ratio = times(*above / reply) + QStringLiteral(" reply");
        big.met = *above <= BigReplyTimes * reply;
        big.remark = QStringLiteral("LoadData ") + ResultTable::formatMs(*table.time("bigReply"));
    } else {
        big.remark = missing("bigReply", ResultTable::NotRun);
    }
    table.addRow(big);

    table.addRow(gapRow(table, QStringLiteral("2 open big load: longest gap of a 5 ms timer"), size, "openLoadFrames",
                        "openLoadFrames", FrameGapMs, QStringLiteral(" all on UI thread")));
}

void lineItemRows(ResultTable& table)
{
    table.addRow(pairRow(table, QStringLiteral("4 LoadLineItemsOrderDetail until painted"), QStringLiteral("2,000 line items"),
                         "lineItems", Sense::AtMost, LineItemsTimes, QStringLiteral("raw HTTP")));
}

/// Cases 5-7: the vendor workflow at size.
void workflowRows(ResultTable& table)
{
    table.addRow(pairRow(table, QStringLiteral("5 >> moves the open orders"), QStringLiteral("10,000 orders"), "moveAll",
                         Sense::Faster, 8, QStringLiteral("QTreeWidget")));
    table.addRow(pairRow(table, QStringLiteral("6 cmdFind_Click"), QStringLiteral("50,000 orders"), "findOrder",
                         Sense::Faster, FindFaster, QStringLiteral("findItems")));
    QString size = QStringLiteral("demo load, 1 line item");
    if (const auto requests = ResultTable::instance().counter("saveLineItem", "requests"))
        size += QStringLiteral(", %1 requests").arg(*requests);
    table.addRow(pairRow(table, QStringLiteral("7 save a line item"), size, "saveLineItem", Sense::AtMost, SaveTimes,
                         QStringLiteral("raw HTTP")));
}

/// Case 8: the screen while a call is in flight.
void inFlightRows(ResultTable& table)
{
    const QString size = QStringLiteral("LoadData, vendor reply over 3 s");
    table.addRow(gapRow(table, QStringLiteral("8 call in flight: longest gap of a 10 ms timer"), size, "callInFlightGap",
                        "callInFlight", LongestGapMs, QStringLiteral(" transfer on UI thread")));
    ResultTable::Row painted = pairRow(table, QStringLiteral("8 call in flight: last byte -> load painted"), size,
                                       "callInFlightPainted", Sense::AtMost, PaintedTimes,
                                       QStringLiteral("transfer on UI thread"));
    if (!painted.value.isEmpty())
        painted.ratio.replace(QStringLiteral(" transfer on UI thread"), QStringLiteral(" UI thread"));
    else
        painted.remark = missing("callInFlight", ResultTable::NotRun);
    table.addRow(painted);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // --open_load_runs=N: how many pairs of processes open the big load (0 leaves case 2 out).
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--open_load_runs=", 17) == 0) {
            openLoadPairs = std::atoi(argv[i] + 17);
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            --i;
        }
    }

    QApplication app(argc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;

    std::fprintf(stderr, "Running the benchmarks (two to three minutes)...\n");
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    palletry::bench::releaseFixtures();

    ResultTable& table = ResultTable::instance();
    replyChainRows(table);
    openLoadRows(table);
    listRows(table);
    lineItemRows(table);
    workflowRows(table);
    inFlightRows(table);
    table.print(stdout);
    return 0;
}
