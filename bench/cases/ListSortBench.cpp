// Case 3: sorting and filling lstVendors with 50,000 vendors, against a
// QTreeWidget holding the same rows (what most Qt code would use), in the same run.

#include "BenchData.h"
#include "Pairs.h"
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

/// The tree's rows start in full sort passes; an odd count of them keeps the median one pair's.
constexpr int Pairs = 5;

/// A click on "Name of Vendor" from the starting order, list and tree in turns.
void sortByName(benchmark::State& state)
{
    Lists& l = lists();
    for (auto _ : state) {
        record(state, "sortByName", interleave(Pairs, [&] {
            l.resetList();
            const double start = threadCpuMs();
            l.clickList(NameHeader);
            return threadCpuMs() - start;
        }, [&] {
            l.resetTree();
            const double start = threadCpuMs();
            l.clickTree(NameColumn, Qt::AscendingOrder);
            return threadCpuMs() - start;
        }));
    }
    if (!listSortedByName(l.list, Qt::AscendingOrder))
        state.SkipWithError("lstVendors is not sorted by name after the click");
}

/// The same header clicked again: the other direction.
void reverseByName(benchmark::State& state)
{
    Lists& l = lists();
    l.resetList();
    l.clickList(NameHeader);
    l.resetTree();
    l.clickTree(NameColumn, Qt::AscendingOrder);
    int listClicks = 0;
    for (auto _ : state) {
        record(state, "reverseByName", interleave(Pairs, [&] {
            const double start = threadCpuMs();
            l.clickList(NameHeader);
            ++listClicks;
            return threadCpuMs() - start;
        }, [&] {
            const Qt::SortOrder other =
                l.tree->header()->sortIndicatorOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
            const double start = threadCpuMs();
            l.clickTree(NameColumn, other);
            return threadCpuMs() - start;
        }));
    }
    if (!listSortedByName(l.list, listClicks % 2 ? Qt::DescendingOrder : Qt::AscendingOrder))
        state.SkipWithError("lstVendors is not reversed by the repeated click");
}

/// 50,000 rows into the emptied list (addRows) and tree (addTopLevelItems).
void fillVendors(benchmark::State& state)
{
    Lists& l = lists();
    l.resetList();
    l.resetTree();
    for (auto _ : state) {
        record(state, "fillVendors", interleave(Pairs, [&] {
            l.list.clear();
            QApplication::processEvents();
            const double start = threadCpuMs();
            l.fillList();
            return threadCpuMs() - start;
        }, [&] {
            l.tree->clear();
            QApplication::processEvents();
            const double start = threadCpuMs();
            l.fillTree();
            return threadCpuMs() - start;
        }));
    }
    if (l.list.count() != BigVendorCount || l.tree->topLevelItemCount() != BigVendorCount)
        state.SkipWithError("lstVendors or the tree does not hold 50,000 rows after the fill");
}

PALLETRY_PAIR_CASE(sortByName);
PALLETRY_PAIR_CASE(reverseByName);
PALLETRY_PAIR_CASE(fillVendors);

} // namespace
} // namespace palletry::bench
