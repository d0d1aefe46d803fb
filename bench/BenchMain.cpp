// Runs every benchmark case headless and prints one table: case, size, time, the
// reference and ratio where a case has one, and whether each target is met.
// Timings are reported, never judged by an exit code.

#include "BenchData.h"
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

using palletry::bench::ResultTable;

namespace {

/// Keeps what the benchmarks measured instead of printing it: the median of repeated runs.
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

QString times(double ratio)
{
    return QString::number(ratio, 'f', ratio < 10 ? 2 : 1) + QStringLiteral("x");
}

QString missing(const std::string& name, const QString& otherwise)
{
    const QString error = ResultTable::instance().note("error:" + name);
    return error.isEmpty() ? otherwise : QStringLiteral("failed: ") + error;
}

/// Case 1 rows: the chain against the floor, then where the chain's time goes.
void replyChainRows(ResultTable& table)
{
    const QString replySize = table.note("reply_size");
    const QString size = QStringLiteral("50,000 vendors") + (replySize.isEmpty() ? QString() : QStringLiteral(", ") + replySize);
    const auto chain = table.time("replyChain");
    const auto floor = table.time("replyFloor");
    ResultTable::Row row(QStringLiteral("1 reply chain -> DataSet walk (vs pugixml parse)"), size);
    row.target = QStringLiteral("<= 3x floor");
    if (chain && floor) {
        row.value = ResultTable::formatMs(*chain);
        row.reference = ResultTable::formatMs(*floor);
        row.ratio = times(*chain / *floor) + QStringLiteral(" floor");
        row.met = *chain <= 3.0 * *floor;
    } else {
        row.remark = missing(chain ? "replyFloor" : "replyChain", QStringLiteral("not run"));
    }
    table.addRow(row);

    static const std::pair<const char*, const char*> stages[] = {
        {"parse", "parse reply in place"},
        {"text", "serialise, unescape, strip, unwrap (UTF-8)"},
        {"release", "drop the reply"},
        {"load", "DataSetWalk::Document::load"},
        {"walk", "DataSetWalk VendorID/Name -> QString"}};
    for (const auto& [counter, label] : stages) {
        const auto ms = table.counter("replyChainStages", counter);
        if (!ms)
            continue;
        ResultTable::Row stage(QStringLiteral("  1 stage: ") + QLatin1String(label), QString(), ResultTable::formatMs(*ms));
        if (floor)
            stage.ratio = times(*ms / *floor) + QStringLiteral(" floor");
        table.addRow(stage);
    }
}

/**
 * A row timing the list against the tree, met when the list is at least @p speedup
 * times faster (0: no demand) and under @p limitMs (0: no limit).
 */
void comparisonRow(ResultTable& table, const QString& caseName, const QString& size, const QString& target,
                   const std::string& list, const std::string& tree, double speedup, double limitMs)
{
    ResultTable::Row row(caseName, size);
    row.target = target;
    const auto l = table.time(list);
    const auto t = table.time(tree);
    if (l && t) {
        row.value = ResultTable::formatMs(*l);
        row.reference = ResultTable::formatMs(*t);
        row.ratio = times(*t / *l) + QStringLiteral(" faster");
        row.met = (speedup <= 0 || *t >= speedup * *l) && (limitMs <= 0 || *l < limitMs);
    } else {
        row.remark = missing(l ? tree : list, QStringLiteral("not run"));
    }
    table.addRow(row);
}

/// A row of case 3: 50,000 rows, the list at least @p speedup times faster (and under @p limitMs).
void listRow(ResultTable& table, const QString& caseName, const std::string& list, const std::string& tree,
             double speedup, double limitMs)
{
    QString target = QStringLiteral(">= %1x faster than QTreeWidget").arg(speedup);
    if (limitMs > 0)
        target += QStringLiteral(", < %1 ms").arg(limitMs);
    comparisonRow(table, caseName, QStringLiteral("50,000 rows"), target, list, tree, speedup, limitMs);
}

void listRows(ResultTable& table)
{
    listRow(table, QStringLiteral("3 lstVendors click: sort by name"), "sortListByName", "sortTreeByName", 8, 50);
    listRow(table, QStringLiteral("3 lstVendors click again: reverse"), "reverseListByName", "reverseTreeByName", 8, 50);
    listRow(table, QStringLiteral("3 lstVendors fill (addRows)"), "fillList", "fillTree", 6, 0);
}

/// Median of @p values (which must not be empty).
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

/// What opening a load in fresh processes gave: median time, highest peak and start (VmHWM).
struct OpenLoadResult
{
    double ms = 0;
    long peakKb = 0;
    long baseKb = 0;
};

/**
 * Opens load BigLoadId of @p service with LoadData in @p runs fresh processes
 * (bench_open_load), so that the peak memory measured is the control's process
 * alone. Returns false, with a note under @p errorKey, when a run fails or the
 * load opens incompletely.
 */
bool openLoadInProcesses(ResultTable& table, const palletry_service::ReferenceService& service, int runs,
                         int vendors, int orders, const std::string& errorKey, OpenLoadResult& result)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_open_load");
    if (!QFileInfo::exists(program)) {
        table.setNote(errorKey, QStringLiteral("bench_open_load not built"));
        return false;
    }
    std::vector<double> loadMs;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {QString::fromStdString(service.serverName()), QString::number(palletry::bench::BigLoadId)});
        if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            process.kill();
            process.waitForFinished();
            table.setNote(errorKey, QStringLiteral("bench_open_load failed: ")
                                        + QString::fromUtf8(process.readAllStandardOutput()).trimmed());
            return false;
        }
        const QString line = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        std::fprintf(stderr, "  %s\n", line.toUtf8().constData());
        QMap<QString, QString> values;
        for (const QString& pair : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            values.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        if (values.value(QStringLiteral("vendors")).toInt() != vendors
            || values.value(QStringLiteral("orders")).toInt() != orders) {
            table.setNote(errorKey, QStringLiteral("the load opened incompletely: ") + line);
            return false;
        }
        loadMs.push_back(values.value(QStringLiteral("load_ms")).toDouble());
        result.peakKb = std::max(result.peakKb, values.value(QStringLiteral("peak_kb")).toLong());
        result.baseKb = std::max(result.baseKb, values.value(QStringLiteral("base_kb")).toLong());
    }
    result.ms = median(loadMs);
    return true;
}

/**
 * Case 2: opens the big load with LoadData in fresh processes against the
 * reference service in this one. Also times the three read requests of an
 * opening as raw HTTP: what the service and the network take of it.
 */
void runOpenLoad(ResultTable& table, int runs)
{
    std::fprintf(stderr, "Opening the big load in %d separate processes...\n", runs);
    palletry_service::Options options;
    options.demoData = false;
    options.vendors = palletry::bench::BigVendorCount;
    options.orders = palletry::bench::BigOrderCount;
    options.lines = 1;
    palletry_service::ReferenceService service(options);
    if (!service.start(0)) {
        table.setNote("open_load_error", QStringLiteral("reference service did not start"));
        return;
    }

    OpenLoadResult opened;
    if (!openLoadInProcesses(table, service, runs, palletry::bench::BigVendorCount, palletry::bench::BigOrderCount,
                             "open_load_error", opened))
        return;
    table.setTime("openLoad", opened.ms);
    table.setCounter("openLoad", "peakMB", double(opened.peakKb) / 1024.0);
    table.setCounter("openLoad", "baseMB", double(opened.baseKb) / 1024.0);

    // The three read requests of an opening, as raw HTTP.
    using namespace palletry::bench;
    const QString load = QString::number(BigLoadId);
    const std::pair<const char*, QString> requests[] = {
        {"GetVendorIncomingLoad", QStringLiteral("<IncomingLoadID>%1</IncomingLoadID>").arg(load)},
        {"GetVendorDataVendorMaster", QString()},
        {"GetVendorHomeDeliverly", QStringLiteral("<IncomingLoadID>%1</IncomingLoadID>").arg(load)}};
    std::vector<double> networkMs;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (const auto& [operation, inner] : requests) {
            const QString body = inner.isEmpty() ? emptyOperationBody(operation)
                                                 : QStringLiteral("<%1 xmlns=\"%2\">%3</%1>")
                                                       .arg(QLatin1String(operation), QLatin1String(palletry_service::ServiceNamespace), inner);
            postToService(service, operation, requestEnvelope(body));
        }
        networkMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    table.setTime("openLoadNetwork", median(networkMs));
}

/**
 * Case 2, memory against reply size: a vendor master reply of about 60 MB (just
 * under the 64 MiB a reply may have) through LoadData; the peak above the
 * process's start against the reply's size.
 */
void runBigReply(ResultTable& table, int runs)
{
    std::fprintf(stderr, "Opening a load with a 60 MB vendor reply in %d separate processes...\n", runs);
    constexpr int orders = 100;
    palletry_service::Options options;
    options.demoData = false;
    options.vendors = palletry::bench::HugeVendorCount;
    options.orders = orders;
    options.lines = 1;
    palletry_service::ReferenceService service(options);
    if (!service.start(0)) {
        table.setNote("big_reply_error", QStringLiteral("reference service did not start"));
        return;
    }
    const std::size_t replyBytes = palletry::bench::vendorMasterReply(service).size();
    OpenLoadResult opened;
    if (!openLoadInProcesses(table, service, runs, palletry::bench::HugeVendorCount, orders, "big_reply_error", opened))
        return;
    table.setTime("bigReply", opened.ms);
    table.setCounter("bigReply", "replyMB", double(replyBytes) / 1e6);
    table.setCounter("bigReply", "aboveStartMB", double(opened.peakKb - opened.baseKb) * 1024.0 / 1e6);
}

void openLoadRows(ResultTable& table)
{
    const QString size = QStringLiteral("50,000 vendors, 2,000 orders");
    const auto ms = table.time("openLoad");
    const auto network = table.time("openLoadNetwork");
    ResultTable::Row time(QStringLiteral("2 open big load: LoadData end to end"), size);
    time.target = QStringLiteral("<= 2.5x raw HTTP, < 500 ms");
    ResultTable::Row memory(QStringLiteral("2 open big load: peak memory (VmHWM)"), size);
    memory.target = QStringLiteral("<= 80 MB");
    if (ms && network) {
        time.value = ResultTable::formatMs(*ms);
        time.reference = ResultTable::formatMs(*network) + QStringLiteral(" raw HTTP");
        time.ratio = times(*ms / *network) + QStringLiteral(" raw HTTP");
        time.met = *ms <= 2.5 * *network && *ms < 500.0;
        const double peak = *table.counter("openLoad", "peakMB");
        memory.value = QString::number(peak, 'f', 0) + QStringLiteral(" MB");
        memory.reference = QString::number(*table.counter("openLoad", "baseMB"), 'f', 0) + QStringLiteral(" MB before");
        memory.met = peak <= 80.0;
    } else {
        time.remark = memory.remark = table.note("open_load_error");
    }
    table.addRow(time);
    table.addRow(memory);

    ResultTable::Row big(QStringLiteral("2 open 60 MB reply: peak above start"),
                         QStringLiteral("%1 vendors").arg(QLocale(QLocale::English).toString(palletry::bench::HugeVendorCount)));
    big.target = QStringLiteral("<= 4x reply size");
    if (const auto above = table.counter("bigReply", "aboveStartMB")) {
        const double reply = *table.counter("bigReply", "replyMB");
        big.value = QString::number(*above, 'f', 0) + QStringLiteral(" MB");
        big.reference = QString::number(reply, 'f', 1) + QStringLiteral(" MB reply");
        big.ratio = times(*above / reply) + QStringLiteral(" reply");
        big.met = *above <= 4.0 * reply;
        big.remark = QStringLiteral("LoadData ") + ResultTable::formatMs(*table.time("bigReply"));
    } else {
        big.remark = table.note("big_reply_error");
    }
    table.addRow(big);
}

void lineItemRows(ResultTable& table)
{
    const QString size = QStringLiteral("2,000 line items");
    const auto total = table.time("lineItemsLoader");
    const auto network = table.time("lineItemsRoundTrip");
    const auto call = table.time("lineItemsReturnWebserviceXML");
    ResultTable::Row loader(QStringLiteral("4 LoadLineItemsOrderDetail, total"), size);
    ResultTable::Row beyond(QStringLiteral("4 LoadLineItemsOrderDetail beyond the network"), size);
    beyond.target = QStringLiteral("< 50 ms");
    if (total && network) {
        loader.value = ResultTable::formatMs(*total);
        if (call)
            loader.reference = ResultTable::formatMs(*call) + QStringLiteral(" ReturnWebserviceXML");
        beyond.value = ResultTable::formatMs(std::max(0.0, *total - *network));
        beyond.reference = ResultTable::formatMs(*network) + QStringLiteral(" raw HTTP");
        beyond.met = *total - *network < 50.0;
    } else {
        loader.remark = beyond.remark = missing(total ? "lineItemsRoundTrip" : "lineItemsLoader", QStringLiteral("not run"));
    }
    table.addRow(loader);
    table.addRow(beyond);
}

/// Cases 5-7: the vendor workflow at size.
void workflowRows(ResultTable& table)
{
    comparisonRow(table, QStringLiteral("5 >> moves the open orders"), QStringLiteral("10,000 orders"),
                  QStringLiteral("< 200 ms, >= 8x faster than QTreeWidget"), "moveAllList", "moveAllTree", 8, 200);
    comparisonRow(table, QStringLiteral("6 cmdFind_Click (vs QTreeWidget::findItems)"), QStringLiteral("50,000 orders"),
                  QStringLiteral("< 5 ms"), "findList", "findTree", 0, 5);
    {
        const auto total = table.time("saveLineItem");
        const auto raw = table.time("saveLineItemRaw");
        ResultTable::Row all(QStringLiteral("7 save a line item, total"), QStringLiteral("demo load, 1 line item"));
        ResultTable::Row beyond(QStringLiteral("7 save a line item beyond raw HTTP"), QStringLiteral("demo load, 1 line item"));
        beyond.target = QStringLiteral("< 20 ms");
        if (total && raw) {
            all.value = ResultTable::formatMs(*total);
            const auto requests = table.counter("saveLineItem", "requests");
            all.reference = QString::number(requests ? *requests : 0, 'f', 0) + QStringLiteral(" requests");
            beyond.value = ResultTable::formatMs(std::max(0.0, *total - *raw));
            beyond.reference = ResultTable::formatMs(*raw) + QStringLiteral(" raw HTTP");
            beyond.met = *total - *raw < 20.0;
        } else {
            all.remark = beyond.remark = missing(total ? "saveLineItemRaw" : "saveLineItem", QStringLiteral("not run"));
        }
        table.addRow(all);
        table.addRow(beyond);
    }
}

std::vector<char*> withDefaults(int argc, char** argv, std::vector<std::string>& storage)
{
    std::vector<char*> args(argv, argv + argc);
    const bool interleaveGiven = std::any_of(args.begin(), args.end(), [](const char* a) {
        return std::strncmp(a, "--benchmark_enable_random_interleaving", 38) == 0;
    });
    // Floor and chain, list and tree, take turns: a neighbour's load on the
    // shared machine then hits both sides of a ratio alike.
    if (!interleaveGiven)
        storage.push_back("--benchmark_enable_random_interleaving=true");
    for (std::string& s : storage)
        args.push_back(s.data());
    return args;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // --open_load_runs=N: how many processes open the big load (0 leaves case 2 out).
    int openLoadRuns = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--open_load_runs=", 17) == 0) {
            openLoadRuns = std::atoi(argv[i] + 17);
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            --i;
        }
    }

    QApplication app(argc, argv);

    std::vector<std::string> storage;
    std::vector<char*> args = withDefaults(argc, argv, storage);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;

    std::fprintf(stderr, "Running the benchmarks (about half a minute)...\n");
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    palletry::bench::releaseFixtures();

    ResultTable& table = ResultTable::instance();
    if (openLoadRuns > 0) {
        runOpenLoad(table, openLoadRuns);
        runBigReply(table, std::min(openLoadRuns, 2));
    } else {
        table.setNote("open_load_error", QStringLiteral("not run"));
        table.setNote("big_reply_error", QStringLiteral("not run"));
    }
    replyChainRows(table);
    openLoadRows(table);
    listRows(table);
    lineItemRows(table);
    workflowRows(table);
    table.print(stdout);
    return 0;
}
