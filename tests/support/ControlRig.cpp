#include "ControlRig.h"

#include "ServiceRig.h"

#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "soap/ServiceNamespace.h"

namespace palletry::test {

ControlRig::ControlRig()
    : d(*Palletry::Private::get(&control))
    , recorder(control)
{
    d.state.ServerName = server.serverName();
    d.state.ServiceUrl = server.url();
    d.state.SoapActionPrefix = QLatin1String(ServiceNamespace) + QLatin1Char('/');
    control.show();
}

void ControlRig::queueResult(const std::string& operation, const std::string& resultText)
{
    server.queueReply(CannedReply::xml(operationReply(operation, resultText)));
}

QStringList ControlRig::column(const ListView& list, int col)
{
    QStringList out;
    for (int pos = 1; pos <= list.count(); ++pos)
        out << (col == 0 ? list.text(pos) : list.subItem(pos, col));
    return out;
}

QStringList ControlRig::row(const ListView& list, int pos, int subItems)
{
    QStringList out{list.text(pos)};
    for (int n = 1; n <= subItems; ++n)
        out << list.subItem(pos, n);
    return out;
}

QStringList ControlRig::gridRow(const FlexGrid& grid, int r)
{
    QStringList out;
    for (int c = 0; c < grid.cols(); ++c)
        out << grid.text(r, c);
    return out;
}

} // namespace palletry::test
