// Case 4: LoadLineItemsOrderDetail for an order with 2,000 line items, against the
// bare HTTP round trip of the same request, so that the control's own share shows.

#include "BenchData.h"
#include "Pairs.h"
#include "QuietControl.h"

#include "control/Palletry_p.h"
#include "screen/FlexGrid.h"

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
        control.run(control.internals().loaders.LoadLineItemsOrderDetail(orderId, true, BigLoadId));
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

/// The loader until painted, against the bare HTTP round trip of its request, in turns.
void lineItems(benchmark::State& state)
{
    LineItemsRig& r = rig();
    for (auto _ : state) {
        record(state, "lineItems", interleave(21, [&] {
            // Another order was shown before (its lines would be kept when read again): the grid
            // starts from its headings, painted, so that every timed load fills it.
            Loaders::resetLineItemGrid(*r.control.internals().screen.grdOrdItems);
            QApplication::processEvents();
            const auto start = Clock::now();
            r.load();
            return msSince(start);
        }, [&] {
            const auto start = Clock::now();
            benchmark::DoNotOptimize(postToService(*r.service, "GetOrderDetails", r.envelope).size());
            return msSince(start);
        }));
    }
    const FlexGrid& grid = *r.control.internals().screen.grdOrdItems;
    if (grid.rows() != BigLineItemCount + 1 || !r.control.messages().isEmpty())
        state.SkipWithError(("the grid holds " + std::to_string(grid.rows()) + " rows; messages: "
                             + r.control.messages().join(QStringLiteral("; ")).toStdString())
                                .c_str());
}

PALLETRY_PAIR_CASE(lineItems);

} // namespace
} // namespace palletry::bench
