// Case 8: the screen while a call is in flight. LoadData of the big load over a line on
// which the vendor master reply takes 3 s to arrive: the longest gap between the ticks of
// a 10 ms timer on the user-interface thread during the call, and the time from the
// reply's last byte to the load painted. The control as it runs its calls (the transfer
// on a worker thread) against the transfer run on the user-interface thread, in turns.
// Also (case 2) the longest gap of a 5 ms timer over the whole of LoadData of the big load
// at full speed, the control as it runs against everything on the user-interface thread.

#include "BenchData.h"
#include "Pairs.h"
#include "QuietControl.h"
#include "ResultTable.h"

#include "control/Palletry_p.h"
#include "screen/ListView.h"

#include <palletry_service/ReferenceService.h>

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace palletry::bench {
namespace {

using Clock = std::chrono::steady_clock;

/// How long the slow reply takes, from the request's arrival to its last byte.
constexpr std::chrono::milliseconds SlowReply{3000};
/// The slow reply goes out in this many even parts, spread over SlowReply.
constexpr int Parts = 30;
/// The timer whose ticks show whether the user-interface thread is free.
constexpr int TickMs = 10;
constexpr int Pairs = 7;

/**
 * A slow line in front of a service on 127.0.0.1: forwards each request and hands back
 * the reply as it came, except that, while pacing, the vendor master reply trickles out
 * in parts over SlowReply. Remembers when that reply's last byte went out.
 */
class SlowLine
{
public:
    explicit SlowLine(int upstreamPort)
        : m_upstream(upstreamPort)
    {
        m_server.Post(palletry_service::ServicePath,
                      [this](const httplib::Request& request, httplib::Response& response) { forward(request, response); });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~SlowLine()
    {
        m_server.stop();
        m_thread.join();
    }

    QString serverName() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    void setPacing(bool on) { m_pacing = on; }
    /// Forgets the last byte sent so far.
    void reset() { m_lastByte = Clock::time_point::min().time_since_epoch().count(); }
    /// When the paced reply's last byte went out; nothing when none did since reset().
    std::optional<Clock::time_point> lastByte() const
    {
        const auto ticks = m_lastByte.load();
        if (ticks == Clock::time_point::min().time_since_epoch().count())
            return std::nullopt;
        return Clock::time_point(Clock::duration(ticks));
    }

private:
    void forward(const httplib::Request& request, httplib::Response& response)
    {
        const auto arrived = Clock::now();
        httplib::Client client("127.0.0.1", m_upstream);
        client.set_read_timeout(60, 0);
        const std::string action = request.get_header_value("SOAPAction");
        const auto result = client.Post(request.path, httplib::Headers{{"SOAPAction", action}}, request.body,
                                        request.get_header_value("Content-Type"));
        if (!result) {
            response.status = 502;
            return;
        }
        response.status = result->status;
        const std::string type = result->get_header_value("Content-Type");
        if (!m_pacing || action.find("GetVendorDataVendorMaster") == std::string::npos) {
            response.set_content(result->body, type);
            return;
        }
        auto body = std::make_shared<std::string>(result->body);
        response.set_content_provider(body->size(), type, [this, body, arrived](std::size_t offset, std::size_t,
                                                                              httplib::DataSink& sink) {
            const std::size_t size = body->size();
            for (int part = 0; part < Parts; ++part) {
                const std::size_t to = size * std::size_t(part + 1) / Parts;
                const std::size_t from = std::max(offset, size * std::size_t(part) / Parts);
                if (to <= from)
                    continue;
                std::this_thread::sleep_until(arrived + SlowReply * (part + 1) / Parts);
                if (!sink.write(body->data() + from, to - from))
                    return false;
            }
            m_lastByte = Clock::now().time_since_epoch().count();
            return true;
        });
    }

    int m_upstream;
    int m_port = 0;
    std::atomic<bool> m_pacing{false};
    std::atomic<Clock::rep> m_lastByte{Clock::time_point::min().time_since_epoch().count()};
    httplib::Server m_server;
    std::thread m_thread;
};

struct InFlight
{
    SlowLine line{bigService().port()};
    QuietControl control;
    Palletry::Private& d = control.internals();
    QString failure;

    InFlight() { control.control().SetPersonInformation(QStringLiteral("15"), QStringLiteral("2")); }

    struct Sample
    {
        double longestGapMs = 0;  ///< between ticks (or the call's ends) while the reply came in
        double paintedMs = 0;     ///< from the reply's last byte to the load painted
    };

    /**
     * Opens the big load over the line, the transfers on the event loop or (@p worker
     * false) here, with a timer of @p tickMs ticking. With @p whole the gap is the
     * longest over the whole of LoadData, from the call until painted.
     */
    Sample open(bool worker, int tickMs = TickMs, bool whole = false)
    {
        d.soapCall.setRunner(worker ? &d.runner : nullptr);
        std::vector<Clock::time_point> ticks;
        ticks.reserve(4096);
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(tickMs);
        QObject::connect(&timer, &QTimer::timeout, [&] { ticks.push_back(Clock::now()); });
        timer.start();
        line.reset();
        const auto start = Clock::now();
        control.control().LoadData(line.serverName(), BigLoadId);
        QApplication::processEvents();  // the clerk sees the load once it is painted
        const auto painted = Clock::now();
        timer.stop();
        d.soapCall.setRunner(&d.runner);

        if (d.screen.lstVendors->count() != BigVendorCount || !control.messages().isEmpty())
            failure = QStringLiteral("the load opened with %1 vendors; messages: %2")
                          .arg(d.screen.lstVendors->count())
                          .arg(control.messages().join(QStringLiteral("; ")));
        Sample sample;
        auto ms = [](Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); };
        if (whole) {
            Clock::time_point previous = start;
            for (const Clock::time_point tick : ticks) {
                sample.longestGapMs = std::max(sample.longestGapMs, ms(tick - previous));
                previous = tick;
            }
            sample.longestGapMs = std::max(sample.longestGapMs, ms(painted - previous));
            return sample;
        }
        const auto last = line.lastByte();
        if (!last)
            return sample;
        // The call's start, the ticks while the reply came in, its last byte: the longest step between.
        Clock::time_point previous = start;
        for (const Clock::time_point tick : ticks) {
            if (tick <= start || tick >= *last)
                continue;
            sample.longestGapMs = std::max(sample.longestGapMs, ms(tick - previous));
            previous = tick;
        }
        sample.longestGapMs = std::max(sample.longestGapMs, ms(*last - previous));
        sample.paintedMs = ms(painted - *last);
        return sample;
    }
};

void callInFlight(benchmark::State& state)
{
    auto rig = std::make_unique<InFlight>();
    for (auto _ : state) {
        // Both ways warm, at full speed.
        rig->line.setPacing(false);
        rig->open(true);
        rig->open(false);
        rig->line.setPacing(true);
        std::vector<double> gaps[2], painted[2];
        for (int pair = 0; pair < Pairs && rig->failure.isEmpty(); ++pair) {
            for (const bool worker : {true, false}) {
                const InFlight::Sample sample = rig->open(worker);
                gaps[worker ? 0 : 1].push_back(sample.longestGapMs);
                painted[worker ? 0 : 1].push_back(sample.paintedMs);
            }
        }
        if (!rig->failure.isEmpty())
            break;
        record(state, "callInFlightGap", summarize(gaps[0], gaps[1]));
        record(state, "callInFlightPainted", summarize(painted[0], painted[1]));
    }
    if (!rig->failure.isEmpty())
        state.SkipWithError(rig->failure.toStdString().c_str());
}

PALLETRY_PAIR_CASE(callInFlight);

/// The frames while the big load opens at full speed: a 5 ms timer over the whole of LoadData.
constexpr int FrameTickMs = 5;
constexpr int FramePairs = 9;

void openLoadFrames(benchmark::State& state)
{
    auto rig = std::make_unique<InFlight>();
    rig->line.setPacing(false);
    for (auto _ : state) {
        rig->open(true, FrameTickMs, true);
        rig->open(false, FrameTickMs, true);
        std::vector<double> gaps[2];
        for (int pair = 0; pair < FramePairs && rig->failure.isEmpty(); ++pair)
            for (const bool worker : {true, false})
                gaps[worker ? 0 : 1].push_back(rig->open(worker, FrameTickMs, true).longestGapMs);
        if (!rig->failure.isEmpty())
            break;
        record(state, "openLoadFrames", summarize(gaps[0], gaps[1]));
    }
    if (!rig->failure.isEmpty())
        state.SkipWithError(rig->failure.toStdString().c_str());
}

PALLETRY_PAIR_CASE(openLoadFrames);

constexpr int WarmPairs = 9;

/// Case 2 warm: LoadData of the big load in this process, against the same three requests as raw HTTP from it.
void openLoadWarm(benchmark::State& state)
{
    QuietControl control;
    control.control().SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
    const palletry_service::ReferenceService& service = bigService();
    const QString server = QString::fromStdString(service.serverName());
    for (auto _ : state) {
        const PairResult result = interleave(
            WarmPairs,
            [&] {
                const auto start = Clock::now();
                control.control().LoadData(server, BigLoadId);
                QApplication::processEvents(); // the clerk sees the load once it is painted
                return msSince(start);
            },
            [&] {
                const auto start = Clock::now();
                for (const auto& [operation, envelope] : openingRequests(BigLoadId))
                    benchmark::DoNotOptimize(postToService(service, operation, envelope).size());
                return msSince(start);
            });
        if (!control.messages().isEmpty()) {
            state.SkipWithError(control.messages().join(QStringLiteral("; ")).toStdString().c_str());
            return;
        }
        record(state, "openLoadWarm", result);
    }
}

PALLETRY_PAIR_CASE(openLoadWarm);

} // namespace
} // namespace palletry::bench
