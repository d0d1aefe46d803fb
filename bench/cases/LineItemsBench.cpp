// Case 4: LoadLineItemsOrderDetail for an order with 2,000 line items, and the
// bare HTTP round trip of the same request, so that the control's own share shows.

#include "BenchData.h"
#include "QuietControl.h"

#include "control/Palletry_p.h"
#include "screen/FlexGrid.h"
#include "soap/ServiceNamespace.h"

#include <palletry_service/ReferenceService.h>

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace palletry::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct LineItemsRig
{
    std::unique_ptr<palletry_service::ReferenceService> service;
    QuietControl control;
    QString orderId;
    std::string envelope;

    LineItemsRig()
    {
        palletry_service::Options options;
        options.demoData = false;
        options.vendors = 1;
        options.orders = 1;
        options.lines = BigLineItemCount;
        service = std::make_unique<palletry_service::ReferenceService>(options);
        if (!service->start(0))
            throw std::runtime_error("reference service did not start");
        const auto rows = service->query("SELECT OrderID FROM Orders");
        orderId = QString::fromStdString(rows.at(0).at(0));
        // Opening the load sets the address, action prefix and load the loader works with.
        control.control().LoadData(QString::fromStdString(service->serverName()), BigLoadId);
        envelope = control.internals().requests.GetOrderDetailsSOAPEnvelope(orderId, BigLoadId).toStdString();
    }

    /// The loader as the click on lstSelectedPOs runs it, until the grid is on screen.
    void load()
    {
        control.internals().loaders.LoadLineItemsOrderDetail(orderId, true, BigLoadId);
        QApplication::processEvents();
    }
};

LineItemsRig& rig()
{
    static std::unique_ptr<LineItemsRig> instance;
    if (!instance) {
        instance = std::make_unique<LineItemsRig>();
        releaseAtShutdown([] { instance.reset(); });
    }
    return *instance;
}

void lineItemsLoader(benchmark::State& state)
{
    LineItemsRig& r = rig();
    for (auto _ : state)
        r.load();
    const FlexGrid& grid = *r.control.internals().screen.grdOrdItems;
    if (grid.rows() != BigLineItemCount + 1 || !r.control.messages().isEmpty())
        state.SkipWithError(("the grid holds " + std::to_string(grid.rows()) + " rows; messages: "
                             + r.control.messages().join(QStringLiteral("; ")).toStdString())
                                .c_str());
}

/// The same request as raw HTTP: the service's work and the transfer, no XML at all on this side.
void lineItemsRoundTrip(benchmark::State& state)
{
    LineItemsRig& r = rig();
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = postToService(*r.service, "GetOrderDetails", r.envelope).size();
    state.counters["replyBytes"] = double(bytes);
}

/// The same request through ReturnWebserviceXML alone: round trip plus the reply chain.
void lineItemsReturnWebserviceXML(benchmark::State& state)
{
    LineItemsRig& r = rig();
    const QString url = r.control.internals().state.ServiceUrl;
    const QString action = QLatin1String(ServiceNamespace) + QStringLiteral("/GetOrderDetails");
    const QString envelope = QString::fromStdString(r.envelope);
    for (auto _ : state)
        benchmark::DoNotOptimize(r.control.control().ReturnWebserviceXML(url, QString(), action, envelope));
}

#define LINE_BENCH(fn)                                                                                               \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true)

LINE_BENCH(lineItemsLoader);
LINE_BENCH(lineItemsRoundTrip);
LINE_BENCH(lineItemsReturnWebserviceXML);

} // namespace
} // namespace palletry::bench
