// Runs every benchmark case headless and prints one table: case, size, time, the
// reference and ratio where a case has one, and whether each target is met.
// Timings are reported, never judged by an exit code.

#include "BenchData.h"
#include "ResultTable.h"

#include <palletry_service/ReferenceService.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
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
    const QString size = QStringLiteral("50,000 vendors, %1").arg(table.note("reply_size"));
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
        {"parse", "parse reply (ReplyDocument)"},      {"serialise", "serialise + unescape"},
        {"strip", "strip envelope"},                   {"toQString", "UTF-8 -> QString"},
        {"unwrap", "UnwrapGetVendorDataVendorMaster"}, {"load", "XmlText::load DataSet"},
        {"walk", "DataSetWalk VendorID/Name"}};
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

/// A row of case 3: the list against the tree, the list at least @p speedup times faster (and under @p limitMs).
void listRow(ResultTable& table, const QString& caseName, const std::string& list, const std::string& tree,
             double speedup, double limitMs)
{
    ResultTable::Row row(caseName, QStringLiteral("50,000 rows"));
    row.target = QStringLiteral(">= %1x faster than QTreeWidget").arg(speedup);
    if (limitMs > 0)
        row.target += QStringLiteral(", < %1 ms").arg(limitMs);
    const auto l = table.time(list);
    const auto t = table.time(tree);
    if (l && t) {
        row.value = ResultTable::formatMs(*l);
        row.reference = ResultTable::formatMs(*t);
        row.ratio = times(*t / *l) + QStringLiteral(" faster");
        row.met = *t >= speedup * *l && (limitMs <= 0 || *l < limitMs);
    } else {
        row.remark = missing(l ? tree : list, QStringLiteral("not run"));
    }
    table.addRow(row);
}

void listRows(ResultTable& table)
{
    listRow(table, QStringLiteral("3 lstVendors click: sort by name"), "sortListByName", "sortTreeByName", 8, 50);
    listRow(table, QStringLiteral("3 lstVendors click again: reverse"), "reverseListByName", "reverseTreeByName", 8, 50);
    listRow(table, QStringLiteral("3 lstVendors fill (addRows)"), "fillList", "fillTree", 6, 0);
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
    QApplication app(argc, argv);

    std::vector<std::string> storage;
    std::vector<char*> args = withDefaults(argc, argv, storage);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;

    std::fprintf(stderr, "Running the benchmarks (about two minutes)...\n");
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    ResultTable& table = ResultTable::instance();
    replyChainRows(table);
    listRows(table);
    table.print(stdout);
    return 0;
}
