#include "actions/OrderMoves.h"

#include "actions/LineItemEntry.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/ListView.h"
#include "screen/Screen.h"

#include <QLineEdit>

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
    // The order id stays the row text; the center travels between "Center" (left,
    // sub-item 1) and "Center Name" (right, sub-item 2); the carton count stays behind.
    std::vector<QStringList> rows;
    rows.reserve(positions.size());
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        if (toSelected)
            rows.push_back(QStringList{source.text(*it), QString(), source.subItem(*it, 1)});
        else
            rows.push_back(QStringList{source.text(*it), source.subItem(*it, 2)});
    }
    target.addRows(std::move(rows));
    if (which == Rows::All)
        source.clear(); // one reset instead of a removal the views must follow row by row
    else
        source.removeRows(std::move(positions));
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

void OrderMoves::lstSelectedPOs_Click()
{
    trap(m_errors, "lstSelectedPOs_Click()", [&] {
        const ListView& selected = *m_screen.lstSelectedPOs;
        const int pos = selected.currentRow();
        if (pos == 0)
            return;
        const QString orderId = selected.text(pos);
        if (orderId.isEmpty())
            return;
        m_entry.takeUp(m_state, orderId,
                       [&] { m_loaders.LoadLineItemsOrderDetail(orderId, true, toInt16(qint64(m_state.LoadID))); });
    });
}

} // namespace palletry
