// Cases 5-7: the clerk's vendor workflow at size. ">>" moving 10,000 open orders and
// cmdFind_Click in 50,000 orders, each against a QTreeWidget doing the same; one save of a
// line item on loopback against the raw HTTP of the requests it sends.

#include "BenchData.h"
#include "Pairs.h"
#include "ResultTable.h"
#include "QuietControl.h"

#include "control/Palletry_p.h"
#include "screen/ListView.h"

#include <palletry_service/ReferenceService.h>

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>

namespace palletry::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int MoveCount = 10000;
constexpr int FindCount = 50000;

/// @p count open orders (PO number, center), in no particular order.
std::vector<QStringList> openOrders(int count)
{
    std::vector<QStringList> rows;
    rows.reserve(size_t(count));
    for (int i = 1; i <= count; ++i)
        rows.push_back({QStringLiteral("%1").arg(i, 11, 10, QLatin1Char('0')),
                        QStringLiteral("Center %1 (%2)").arg(i % 7).arg(i % 7)});
    std::shuffle(rows.begin(), rows.end(), std::mt19937(7u));
    return rows;
}

std::unique_ptr<QTreeWidget> sortingTree(const QStringList& headers)
{
    auto tree = std::make_unique<QTreeWidget>();
    tree->setColumnCount(int(headers.size()));
    tree->setHeaderLabels(headers);
    tree->setRootIsDecorated(false);
    tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree->setSortingEnabled(true);
    tree->sortByColumn(0, Qt::AscendingOrder);
    tree->resize(400, 300);
    tree->show();
    return tree;
}

void fillTree(QTreeWidget& tree, const std::vector<QStringList>& rows)
{
    QList<QTreeWidgetItem*> items;
    for (const QStringList& row : rows)
        items.append(new QTreeWidgetItem(row));
    tree.addTopLevelItems(items);
    QApplication::processEvents();
}

struct Moves
{
    std::vector<QStringList> rows = openOrders(MoveCount);
    QuietControl control;
    Palletry::Private& d = control.internals();
    std::unique_ptr<QTreeWidget> left = sortingTree({QStringLiteral("OrderID"), QStringLiteral("Center")});
    std::unique_ptr<QTreeWidget> right =
        sortingTree({QStringLiteral("OrderID"), QStringLiteral("# Cartons"), QStringLiteral("Center Name")});

    Moves()
    {
        d.navigation.showOnly(1);
        d.screen.lstProspectivePOs->addRows(std::vector<QStringList>(rows));
        fillTree(*left, rows);
    }
};

Moves& moves()
{
    static std::unique_ptr<Moves> instance;
    if (!instance) {
        instance = std::make_unique<Moves>();
        releaseAtShutdown([] { instance.reset(); });
    }
    return *instance;
}

/**
 * ">>" as the control handles it, until the views have caught up, against the same walk
 * between two sorting QTreeWidgets (each row taken from the left and added on the right),
 * in turns. Each side is put back untimed.
 */
void moveAll(benchmark::State& state)
{
    Moves& m = moves();
    bool moved = true;
    for (auto _ : state) {
        record(state, "moveAll", interleave(9, [&] {
            const double start = threadCpuMs();
            m.d.orderMoves.cmdSelectAll_Click();
            QApplication::processEvents();
            const double ms = threadCpuMs() - start;
            moved = moved && m.d.screen.lstSelectedPOs->count() == MoveCount && m.d.screen.lstProspectivePOs->count() == 0;
            m.d.orderMoves.cmdRemoveAll_Click();
            QApplication::processEvents();
            return ms;
        }, [&] {
            const double start = threadCpuMs();
            for (int i = m.left->topLevelItemCount() - 1; i >= 0; --i) {
                std::unique_ptr<QTreeWidgetItem> item(m.left->takeTopLevelItem(i));
                m.right->addTopLevelItem(new QTreeWidgetItem({item->text(0), QString(), item->text(1)}));
            }
            QApplication::processEvents();
            const double ms = threadCpuMs() - start;
            m.right->clear();
            fillTree(*m.left, m.rows);
            return ms;
        }));
    }
    if (!moved)
        state.SkipWithError(">> did not move every order");
}

struct Finds
{
    QuietControl control;
    Palletry::Private& d = control.internals();
    std::unique_ptr<QTreeWidget> tree = sortingTree({QStringLiteral("OrderID"), QStringLiteral("Center")});
    /// Typed as a clerk would, without the leading zeros; near the end of the sorted list.
    QString typed = QString::number(FindCount - 1);

    Finds()
    {
        const std::vector<QStringList> rows = openOrders(FindCount);
        d.navigation.showOnly(1);
        d.screen.lstProspectivePOs->addRows(std::vector<QStringList>(rows));
        fillTree(*tree, rows);
    }
};

Finds& finds()
{
    static std::unique_ptr<Finds> instance;
    if (!instance) {
        instance = std::make_unique<Finds>();
        releaseAtShutdown([] { instance.reset(); });
    }
    return *instance;
}

/// Finds per sample: one takes about a millisecond.
constexpr int FindsPerSample = 20;

/**
 * cmdFind_Click with the PO typed, until painted, against what a QTreeWidget offers for
 * the same (findItems, then highlight and scroll), in turns.
 */
void findOrder(benchmark::State& state)
{
    Finds& f = finds();
    const QString padded = QStringLiteral("%1").arg(f.typed, 11, QLatin1Char('0'));
    for (auto _ : state) {
        record(state, "findOrder", interleave(21, [&] {
            double ms = 0;
            for (int i = 0; i < FindsPerSample; ++i) {
                f.d.screen.txtFindPO->setText(f.typed);
                const double start = threadCpuMs();
                f.d.findPO.cmdFind_Click();
                QApplication::processEvents();
                ms += threadCpuMs() - start;
            }
            return ms / FindsPerSample;
        }, [&] {
            const double start = threadCpuMs();
            for (int i = 0; i < FindsPerSample; ++i) {
                if (QTreeWidgetItem* current = f.tree->currentItem())
                    current->setSelected(false);
                const QList<QTreeWidgetItem*> items = f.tree->findItems(padded, Qt::MatchFixedString, 0);
                if (!items.isEmpty()) {
                    f.tree->scrollToItem(items.first());
                    items.first()->setSelected(true);
                }
                QApplication::processEvents();
            }
            return (threadCpuMs() - start) / FindsPerSample;
        }));
    }
    const ListView& list = *f.d.screen.lstProspectivePOs;
    const std::vector<int> found = list.selectedRows();
    if (found.size() != 1 || list.text(found.front()) != padded || !f.control.messages().isEmpty())
        state.SkipWithError("cmdFind_Click did not highlight the order alone");
}

struct Saves
{
    std::unique_ptr<palletry_service::ReferenceService> service = std::make_unique<palletry_service::ReferenceService>(palletry_service::Options::recording());
    QuietControl control;
    Palletry::Private& d = control.internals();
    /// The requests of one save of a further line item, as sent: operation and body.
    std::vector<std::pair<std::string, std::string>> requests;

    Saves()
    {
        if (!service->start(0))
            throw std::runtime_error("reference service did not start");
        const std::string load = std::to_string(service->demoLoadId());
        const auto open = service->query(
            "SELECT o.VendorID, o.OrderID FROM Orders o WHERE o.IsOpen <> 0 AND NOT EXISTS (SELECT 1 FROM"
            " OrderSegments s WHERE s.OrderID = o.OrderID AND s.IncomingLoadID = " + load + ") ORDER BY o.OrderID LIMIT 1");
        control.control().SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
        control.control().LoadData(QString::fromStdString(service->serverName()), service->demoLoadId());

        // As the clerk: the vendor, its orders onto the load, the order opened, its first line taken up.
        ListView& vendors = *d.screen.lstVendors;
        const int vendor = vendors.findText(QString::fromStdString(open.at(0).at(0)));
        vendors.setCurrentRow(vendor);
        vendors.setSelected(vendor, true);
        control.run(d.browsing.cmdViewDetails_Click());
        d.orderMoves.cmdSelectAll_Click();
        d.screen.lstSelectedPOs->setCurrentRow(d.screen.lstSelectedPOs->findText(QString::fromStdString(open.at(0).at(1))));
        control.run(d.orderMoves.lstSelectedPOs_Click());
        d.screen.txtNumberOfCartons->setText(QStringLiteral("5"));
        // The first save registers the order; the timed ones record further line items under its segment.
        save();
        service->clearRequests();
        save();
        for (const auto& r : service->requests()) {
            const std::string action = r.soapAction.substr(r.soapAction.rfind('/') + 1);
            requests.emplace_back(action.substr(0, action.find('"')), r.body);
        }
        service->clearRequests();
    }

    void save()
    {
        d.orderDetailsEntry.gridClick();
        d.screen.txtUnitWeight->setText(QStringLiteral("10.5"));
        control.run(d.vendorDetailsSaving.cmdSaveVendorDetails_Click());
        QApplication::processEvents();
    }
};

Saves& saves()
{
    static std::unique_ptr<Saves> instance;
    if (!instance) {
        instance = std::make_unique<Saves>();
        releaseAtShutdown([] { instance.reset(); });
    }
    return *instance;
}

/// One save of a further line item, until painted, against the raw HTTP of the requests it sends, in turns.
void saveLineItem(benchmark::State& state)
{
    Saves& s = saves();
    const int before = int(s.control.messages().size());
    for (auto _ : state) {
        record(state, "saveLineItem", interleave(15, [&] {
            s.d.orderDetailsEntry.gridClick();
            s.d.screen.txtUnitWeight->setText(QStringLiteral("10.5"));
            // The clerk's own click and typing were painted before Save is clicked.
            QApplication::processEvents();
            const auto start = Clock::now();
            s.control.run(s.d.vendorDetailsSaving.cmdSaveVendorDetails_Click());
            QApplication::processEvents();
            return msSince(start);
        }, [&] {
            // The replayed entry is stamped now: the service refuses an entry older than the
            // control's last save, which a run crossing a second (or under valgrind) would send.
            const QByteArray now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1();
            for (auto& [operation, body] : s.requests) {
                const std::string tag = "<RecordLastUpdated>";
                if (const size_t at = body.find(tag); at != std::string::npos)
                    body.replace(at + tag.size(), size_t(now.size()), now.toStdString());
            }
            const auto start = Clock::now();
            for (const auto& [operation, body] : s.requests)
                postToService(*s.service, operation.c_str(), body);
            return msSince(start);
        }));
    }
    const QStringList& messages = s.control.messages();
    for (int i = before; i < messages.size(); ++i) {
        if (!messages[i].endsWith(QStringLiteral("Data has been saved successfully!!!"))) {
            state.SkipWithError(("a save failed: " + messages[i].toStdString() + "\n" + s.control.eventLog().toStdString()).c_str());
            return;
        }
    }
    ResultTable::instance().setCounter("saveLineItem", "requests", double(s.requests.size()));
}

PALLETRY_PAIR_CASE(moveAll);
PALLETRY_PAIR_CASE(findOrder);
PALLETRY_PAIR_CASE(saveLineItem);

} // namespace
} // namespace palletry::bench
