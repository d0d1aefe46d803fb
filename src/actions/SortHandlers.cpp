#include "actions/SortHandlers.h"

#include "core/Trap.h"
#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "screen/Screen.h"

namespace palletry {

SortHandlers::SortHandlers(Screen& screen, ErrorSink& errors)
    : m_screen(screen)
    , m_errors(errors)
{
}

std::pair<int, Qt::SortOrder> SortHandlers::sortAfterClick(const ListView& list, int header)
{
    const int column = header - 1;
    if (list.sortColumn() == column)
        return {column, list.sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder};
    return {column, list.sortOrder()};
}

void SortHandlers::sortByHeader(ListView& list, int header)
{
    const auto [column, order] = sortAfterClick(list, header);
    list.setSort(column, order);
}

void SortHandlers::lstVendors_ColumnClick(int header)
{
    trap(m_errors, "lstVendors_ColumnClick()", [&] { sortByHeader(*m_screen.lstVendors, header); });
}

void SortHandlers::lstProspectivePOs_ColumnClick(int header)
{
    trap(m_errors, "lstProspectivePOs_ColumnClick()", [&] { sortByHeader(*m_screen.lstProspectivePOs, header); });
}

void SortHandlers::lstSelectedPOs_ColumnClick(int header)
{
    trap(m_errors, "lstSelectedPOs_ColumnClick()", [&] {
        sortByHeader(*m_screen.lstSelectedPOs, header);
        LoadOrderDetail(QString());
    });
}

void SortHandlers::lstAllSelectedPOs_ColumnClick(int header)
{
    trap(m_errors, "lstAllSelectedPOs_ColumnClick()", [&] { sortByHeader(*m_screen.lstAllSelectedPOs, header); });
}

void SortHandlers::LoadOrderDetail(const QString&)
{
    trap(m_errors, "LoadOrderDetail()", [&] { m_screen.grdOrdItems->clearCells(); });
}

} // namespace palletry
