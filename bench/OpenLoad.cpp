// bench_open_load SERVER LOADID: opens one load with Palletry::LoadData in a
// process of its own and prints how long it took and the process's peak memory (VmHWM, and
// getrusage's ru_maxrss, which equals it when started from a small process),
// as key=value pairs on one line. Exit code 1 when the load did not open fully.
// bench_open_load SERVER LOADID raw: the same fresh process, control shown, sends the
// same three requests as raw HTTP instead and prints raw_ms: the reference for LoadData
// measured under the same conditions (a new process's heap, caches and first connection).

#include "BenchData.h"
#include "QuietControl.h"

#include "control/Palletry_p.h"
#include "screen/ListView.h"

#include <QApplication>
#include <QFile>
#include <QUrl>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

long maxRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kilobytes on Linux
}

/**
 * The peak resident size of this process's own memory (VmHWM). ru_maxrss is not
 * that when the process was started by a big one: Linux keeps the high-water mark
 * of the forked copy across exec, so the parent's size at the fork shows through.
 */
long highWaterKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool raw = argc == 4 && std::strcmp(argv[3], "raw") == 0;
    if (argc != 3 && !raw) {
        std::fprintf(stderr, "usage: %s SERVER LOADID [raw]   (SERVER as http://127.0.0.1:PORT)\n", argv[0]);
        return 2;
    }
    const QString server = QString::fromLocal8Bit(argv[1]);
    const qint32 loadId = QString::fromLocal8Bit(argv[2]).toInt();

    palletry::bench::QuietControl quiet;
    quiet.control().SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
    const long baseKb = highWaterKb();

    if (raw) {
        const auto requests = palletry::bench::openingRequests(loadId);
        const int port = QUrl(server).port();
        std::size_t bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        for (const auto& [operation, envelope] : requests)
            bytes += palletry::bench::postToPort(port, operation, envelope).size();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("raw_ms=%.2f reply_bytes=%zu\n", ms, bytes);
        return 0;
    }

    const auto start = std::chrono::steady_clock::now();
    quiet.control().LoadData(server, loadId);
    QApplication::processEvents();  // the clerk sees the load once it is painted
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const long peakKb = highWaterKb();
    const long maxRss = maxRssKb();

    const palletry::Screen& screen = quiet.internals().screen;
    const int vendors = screen.lstVendors->count();
    const int orders = screen.lstAllSelectedPOs->count();
    std::printf("load_ms=%.2f peak_kb=%ld base_kb=%ld ru_maxrss_kb=%ld vendors=%d orders=%d messages=%lld\n", ms, peakKb,
                baseKb, maxRss,
                vendors, orders, static_cast<long long>(quiet.messages().size()));
    for (const QString& message : quiet.messages())
        std::fprintf(stderr, "message: %s\n", message.toUtf8().constData());
    if (!quiet.messages().isEmpty())
        std::fprintf(stderr, "%s", quiet.eventLog().toUtf8().constData());
    return quiet.messages().isEmpty() && vendors > 0 ? 0 : 1;
}
