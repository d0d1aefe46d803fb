#include "actions/OrderMoves.h"

#include "actions/LineItemEntry.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/ListView.h"
#include "screen/Screen.h"

#include <QLineEdit>

#include <algorithm>
#include <numeric>
#include <vector>

namespace palletry {

OrderMoves::OrderMoves(ControlState& state, Screen& screen, ErrorSink& errors, Loaders& loaders,
                       LineItemEntry& orderDetails)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_loaders(loaders)
    , m_entry(orderDetails)
{
}

void OrderMoves::move(bool toSelected, Rows which)
{
    ListView& source = toSelected ? *m_screen.lstProspectivePOs : *m_screen.lstSelectedPOs;
    ListView& target = toSelected ? *m_screen.lstSelectedPOs : *m_screen.lstProspectivePOs;
    std::vector<int> positions;
    if (which == Rows::Highlighted) {
        positions = source.selectedRows();
    } else {
        positions.resize(size_t(source.count()));
        std::iota(positions.begin(), positions.end(), 1);
    }
    // From the bottom up: rows equal in the other list's sort column land there in this order.
    std::reverse(positions.begin(), positions.end());
    // Only the left's sort column, if the right sorts by the same text, keeps its keys:
    // right column n holds left column fromLeft[n] (-1: none), and the reverse way back.
    static constexpr int fromLeft[] = {0, -1, 1};
    static constexpr int fromRight[] = {0, 2};
    const int sortColumn = target.sortColumn();
    const int* from = toSelected ? fromLeft : fromRight;
    const int columns = toSelected ? 3 : 2;
    const bool sameKeys = sortColumn < columns && from[sortColumn] == source.sortColumn();
    ListModel::Taken taken = source.takeRows(std::move(positions));
    // The order id stays the row text; the center travels between "Center" (left,
    // sub-item 1) and "Center Name" (right, sub-item 2); the carton count stays behind.
    // Rearranged in place: a list that has been right once already has room for three.
    for (QStringList& cells : taken.cells) {
        if (toSelected) {
            cells.resize(2);
            cells.insert(1, QString());
        } else {
            cells.resize(3);
            cells.removeAt(1);
        }
    }
    if (!sameKeys)
        taken.keys.clear();
    target.addRows(std::move(taken.cells), std::move(taken.keys));
}

void OrderMoves::cmdSelect_Click()
{
    trap(m_errors, "cmdSelect_Click()", [&] {
        move(true, Rows::Highlighted);
        ListView& selected = *m_screen.lstSelectedPOs;
        if (const int current = selected.currentRow())
            selected.setSelected(current, false);
    });
}

void OrderMoves::cmdSelectAll_Click()
{
    trap(m_errors, "cmdSelectAll_Click()", [&] { move(true, Rows::All); });
}

void OrderMoves::cmdRemove_Click()
{
    trap(m_errors, "cmdRemove_Click()", [&] {
        move(false, Rows::Highlighted);
        m_screen.lstProspectivePOs->viewport()->update();
    });
}

void OrderMoves::cmdRemoveAll_Click()
{
    trap(m_errors, "cmdRemoveAll_Click()", [&] {
        move(false, Rows::All);
        m_screen.lstProspectivePOs->viewport()->update();
    });
}

void OrderMoves::lstProspectivePOs_DblClick()
{
    cmdSelect_Click();
}

Task<void> OrderMoves::lstSelectedPOs_Click()
{
    try {
        const ListView& selected = *m_screen.lstSelectedPOs;
        const int pos = selected.currentRow();
        if (pos == 0)
            co_return;
        const QString orderId = selected.text(pos);
        if (orderId.isEmpty())
            co_return;
        // Named, not a temporary in the awaited call: GCC 12 destroys such a temporary twice.
        const std::function<Task<void>()> read = [this, orderId] {
            return m_loaders.LoadLineItemsOrderDetail(orderId, true, toInt16(qint64(m_state.LoadID)));
        };
        co_await m_entry.takeUp(m_state, orderId, read);
    } catch (...) {
        reportCurrent(m_errors, "lstSelectedPOs_Click()");
    }
}

} // namespace palletry
