#pragma once

#include "LoopbackHttpServer.h"
#include "ReportRecorder.h"

#include "control/Palletry_p.h"

#include <QStringList>

namespace palletry::test {

/**
 * A shown control with its outlets recorded, plus a loopback server whose
 * address is in the control's fields as LoadData would have put it there.
 */
struct ControlRig
{
    ControlRig();

    Palletry control;
    Palletry::Private& d;
    ReportRecorder recorder;
    LoopbackHttpServer server;

    /// Queues a read reply of @p operation carrying @p resultText.
    void queueResult(const std::string& operation, const std::string& resultText);

    /// Column @p col (0 = row text) of every row of @p list, in display order.
    static QStringList column(const ListView& list, int col);
    /// Row @p pos of @p list: its text, then its sub-items 1..@p subItems.
    static QStringList row(const ListView& list, int pos, int subItems);
    /// Row @p r of @p grid, columns 0..cols-1.
    static QStringList gridRow(const FlexGrid& grid, int r);
};

} // namespace palletry::test
