#pragma once

#include "ServiceRig.h"

#include "control/Palletry_p.h"
#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "soap/ServiceNamespace.h"

#include <QStringList>

namespace palletry::test {

/**
 * A shown control with its outlets recorded, plus a loopback server whose
 * address is in the control's fields as LoadData would have put it there.
 */
struct ControlRig
{
    ControlRig()
        : d(*Palletry::Private::get(&control))
        , recorder(control)
    {
        d.state.ServerName = server.serverName();
        d.state.ServiceUrl = server.url();
        d.state.SoapActionPrefix = QLatin1String(ServiceNamespace) + QLatin1Char('/');
        control.show();
    }

    /// Answers every request with a read reply of @p operation carrying @p resultText.
    void setResult(const std::string& operation, const std::string& resultText)
    {
        server.setReply(CannedReply::xml(operationReply(operation, resultText)));
    }

    /// Column @p col (0 = row text) of every row of @p list, in display order.
    static QStringList column(const ListView& list, int col)
    {
        QStringList out;
        for (int pos = 1; pos <= list.count(); ++pos)
            out << (col == 0 ? list.text(pos) : list.subItem(pos, col));
        return out;
    }
    /// Row @p pos of @p list: its text, then its sub-items 1..@p subItems.
    static QStringList row(const ListView& list, int pos, int subItems)
    {
        QStringList out{list.text(pos)};
        for (int n = 1; n <= subItems; ++n)
            out << list.subItem(pos, n);
        return out;
    }
    /// Row @p r of @p grid, every column.
    static QStringList gridRow(const FlexGrid& grid, int r)
    {
        QStringList out;
        for (int c = 0; c < grid.cols(); ++c)
            out << grid.text(r, c);
        return out;
    }

    Palletry control;
    Palletry::Private& d;
    ReportRecorder recorder;
    LoopbackHttpServer server;
};

} // namespace palletry::test
