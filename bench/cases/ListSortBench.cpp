// Case 3: sorting and filling lstVendors with 50,000 vendors, against a
// QTreeWidget holding the same rows (what most Qt code would use), in the same run.

#include "BenchData.h"
#include "QuietControl.h"

#include "control/Palletry_p.h"
#include "screen/ListView.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace palletry::bench {
namespace {

using Clock = std::chrono::steady_clock;

/// Vendor id and name: the columns of lstVendors.
constexpr int NameHeader = 2;  // 1-based header "Name of Vendor"
constexpr int NameColumn = 1;

struct Lists
{
    std::vector<QStringList> vendors = realisticVendors(BigVendorCount);
    QuietControl control;
    ListView& list = *control.internals().screen.lstVendors;
    std::unique_ptr<QTreeWidget> tree = std::make_unique<QTreeWidget>();

    Lists()
    {
        tree->setColumnCount(2);
        tree->setHeaderLabels({QStringLiteral("Vendor ID"), QStringLiteral("Name of Vendor")});
        tree->setRootIsDecorated(false);
        tree->setSortingEnabled(true);
        tree->sortByColumn(0, Qt::AscendingOrder);
        tree->resize(list.size());
        tree->show();
        fillList();
        fillTree();
    }

    void fillList()
    {
        std::vector<QStringList> rows(vendors.begin(), vendors.end());
        list.addRows(std::move(rows));
        QApplication::processEvents();
    }

    void fillTree()
    {
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(vendors.size()));
        for (const QStringList& vendor : vendors)
            items.append(new QTreeWidgetItem(vendor));
        tree->addTopLevelItems(items);
        // As the list does: the first row that arrives is current and selected.
        if (!tree->currentItem())
            tree->setCurrentItem(items.first());
        QApplication::processEvents();
    }

    /// The list's starting order: ascending by vendor id.
    void resetList()
    {
        list.setSort(0, Qt::AscendingOrder);
        QApplication::processEvents();
    }

    void resetTree()
    {
        tree->sortByColumn(0, Qt::AscendingOrder);
        QApplication::processEvents();
    }

    /// A click on a header of lstVendors, as the control handles it, until the view has caught up.
    void clickList(int header)
    {
        control.internals().sorting.lstVendors_ColumnClick(header);
        QApplication::processEvents();
    }

    /// A click on a header of the sorting-enabled tree does this.
    void clickTree(int column, Qt::SortOrder order)
    {
        tree->sortByColumn(column, order);
        QApplication::processEvents();
    }
};

Lists& lists()
{
    static std::unique_ptr<Lists> instance;
    if (!instance) {
        instance = std::make_unique<Lists>();
        releaseAtShutdown([] { instance.reset(); });
    }
    return *instance;
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool listSortedByName(const ListView& list, Qt::SortOrder order)
{
    if (list.count() != BigVendorCount || list.sortColumn() != NameColumn || list.sortOrder() != order)
        return false;
    for (int pos = 1; pos < list.count(); pos += 97) {
        const int c = QString::compare(list.subItem(pos, 1), list.subItem(pos + 1, 1), Qt::CaseInsensitive);
        if (order == Qt::AscendingOrder ? c > 0 : c < 0)
            return false;
    }
    return true;
}

void sortListByName(benchmark::State& state)
{
    Lists& l = lists();
    for (auto _ : state) {
        l.resetList();
        const auto start = Clock::now();
        l.clickList(NameHeader);
        state.SetIterationTime(secondsSince(start));
    }
    if (!listSortedByName(l.list, Qt::AscendingOrder))
        state.SkipWithError("lstVendors is not sorted by name after the click");
}

void sortTreeByName(benchmark::State& state)
{
    Lists& l = lists();
    for (auto _ : state) {
        l.resetTree();
        const auto start = Clock::now();
        l.clickTree(NameColumn, Qt::AscendingOrder);
        state.SetIterationTime(secondsSince(start));
    }
}

void reverseListByName(benchmark::State& state)
{
    Lists& l = lists();
    l.resetList();
    l.clickList(NameHeader);
    for (auto _ : state) {
        const auto start = Clock::now();
        l.clickList(NameHeader);  // the same header again: the other direction
        state.SetIterationTime(secondsSince(start));
    }
    if (!listSortedByName(l.list, state.iterations() % 2 ? Qt::DescendingOrder : Qt::AscendingOrder))
        state.SkipWithError("lstVendors is not reversed by the repeated click");
}

void reverseTreeByName(benchmark::State& state)
{
    Lists& l = lists();
    l.resetTree();
    l.clickTree(NameColumn, Qt::AscendingOrder);
    for (auto _ : state) {
        const Qt::SortOrder other =
            l.tree->header()->sortIndicatorOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        const auto start = Clock::now();
        l.clickTree(NameColumn, other);
        state.SetIterationTime(secondsSince(start));
    }
}

void fillList(benchmark::State& state)
{
    Lists& l = lists();
    l.resetList();
    for (auto _ : state) {
        l.list.clear();
        QApplication::processEvents();
        const auto start = Clock::now();
        l.fillList();
        state.SetIterationTime(secondsSince(start));
    }
    if (l.list.count() != BigVendorCount)
        state.SkipWithError("lstVendors does not hold 50,000 rows after the fill");
}

void fillTree(benchmark::State& state)
{
    Lists& l = lists();
    l.resetTree();
    for (auto _ : state) {
        l.tree->clear();
        QApplication::processEvents();
        const auto start = Clock::now();
        l.fillTree();
        state.SetIterationTime(secondsSince(start));
    }
    if (l.tree->topLevelItemCount() != BigVendorCount)
        state.SkipWithError("the tree does not hold 50,000 rows after the fill");
}

#define LIST_BENCH(fn, iterations)                                                                                   \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(iterations)->Repetitions(3)            \
        ->ReportAggregatesOnly(true)

LIST_BENCH(sortListByName, 10);
LIST_BENCH(sortTreeByName, 2);
LIST_BENCH(reverseListByName, 10);
LIST_BENCH(reverseTreeByName, 2);
LIST_BENCH(fillList, 4);
LIST_BENCH(fillTree, 1);

} // namespace
} // namespace palletry::bench
