#include "loaders/Loaders.h"

#include "core/Aside.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/DataSetWalk.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "screen/Screen.h"
#include "soap/ServiceRequests.h"
#include "soap/Unwrap.h"

#include <QCoreApplication>
#include <QDate>
#include <QLineEdit>
#include <QRegularExpression>

#include <array>
#include <vector>

namespace palletry {
namespace {

// Grid layout of an order's line items (widths in twips).
struct GridColumn
{
    const char* heading;
    int width;
};
constexpr GridColumn LineItemColumns[] = {{QT_TRANSLATE_NOOP("Loaders", "Row"), 500},
                                          {QT_TRANSLATE_NOOP("Loaders", "Line Item"), 1000},
                                          {QT_TRANSLATE_NOOP("Loaders", "Model"), 1000},
                                          {QT_TRANSLATE_NOOP("Loaders", "Item Description"), 5350}};

void setLineItemWidths(FlexGrid& grid)
{
    for (int c = 0; c < 4; ++c)
        grid.setColWidthTwips(c, LineItemColumns[c].width);
}

void prepareLineItemGrid(FlexGrid& grid)
{
    grid.clearCells();
    grid.setCols(4);
    setLineItemWidths(grid);
    for (int c = 0; c < 4; ++c)
        grid.setText(0, c, QCoreApplication::translate("Loaders", LineItemColumns[c].heading));
}

// Whether @p grid shows exactly the headings and @p lines that a fill would give it (the widths aside).
bool showsLines(const FlexGrid& grid, const std::vector<std::array<QString, 3>>& lines)
{
    const int rows = FlexGridModel::FixedRows + int(lines.size());
    if (lines.empty() || grid.cols() != 4 || grid.rows() != rows)
        return false;
    for (int c = 0; c < 4; ++c) {
        if (grid.text(0, c) != QCoreApplication::translate("Loaders", LineItemColumns[c].heading))
            return false;
    }
    for (int r = FlexGridModel::FixedRows; r < rows; ++r) {
        if (grid.text(r, 0) != QString::number(r))
            return false;
        for (int c = 0; c < 3; ++c)
            if (grid.text(r, c + 1) != lines[size_t(r - FlexGridModel::FixedRows)][size_t(c)])
                return false;
    }
    return true;
}

} // namespace

Loaders::Loaders(ControlState& state, Screen& screen, ErrorSink& errors, ServiceRequests& service)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_service(service)
{
}

QString Loaders::formatLoadDate(const QString& text)
{
    // ISO 8601 date or date-time as a DataSet writes it: the calendar date as written,
    // whatever offset follows, so the date never shifts across time zones.
    static const QRegularExpression iso(QStringLiteral("^\\s*(\\d{4})-(\\d{2})-(\\d{2})(?:[T ][0-9:.]+(?:Z|[+-]\\d{2}:?\\d{2})?)?\\s*$"));
    // M/D/YYYY, optionally followed by a time of day.
    static const QRegularExpression us(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})(?:\\s+[0-9:.]+(?:\\s*[AaPp][Mm])?)?\\s*$"));
    QDate date;
    if (const auto m = iso.match(text); m.hasMatch())
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    else if (const auto m = us.match(text); m.hasMatch())
        date = QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    return date.isValid() ? date.toString(QStringLiteral("MM/dd/yyyy")) : text;
}

void Loaders::resetLineItemGrid(FlexGrid& grid)
{
    prepareLineItemGrid(grid);
    grid.setRows(1);
}

void Loaders::LoadVendorIncomingLoad(const QByteArray& xml)
{
    trap(m_errors, "LoadVendorIncomingLoad", [&] {
        DataSetWalk::Document doc;
        if (!doc.load(xml))
            return;
        // The header acts per column: a column missing from the answer leaves its box as it was.
        DataSetWalk({"TruckNumber", "LoadDate", "Driver"}).walk(doc, {}, [&](int column, const QString& value) {
            switch (column) {
            case 0:
                m_screen.txtTruckNumber->setText(value);
                break;
            case 1:
                m_screen.txtLoadDate->setText(formatLoadDate(value));
                break;
            case 2:
                m_screen.txtDriver->setText(value);
                break;
            }
        });
    });
}

void Loaders::readVendors(VendorList& list, QByteArray xml, int column, Qt::SortOrder order,
                          std::shared_ptr<DataSetWalk::Document> read)
{
    try {
        if (!read) {
            read = std::make_shared<DataSetWalk::Document>();
            if (!read->load(xml))
                return;
        }
        list.read = true;
        // Only the values stay while they become the rows: the answer's markup goes first.
        xml = QByteArray();
        read->compact();
        std::vector<QStringList> rows;
        rows.reserve(size_t(DataSetWalk::rowCount(*read)));
        DataSetWalk({"VendorID", "Name"}).walkTaking(*read, [&](QVector<QString>& row) {
            QStringList cells;
            cells.reserve(2);
            cells.append(std::move(row[0]));
            cells.append(std::move(row[1]));
            rows.push_back(std::move(cells));
        });
        // The places of the rows go before their keys are made.
        read.reset();
        list.rows = ListModel::prepare(std::move(rows), column, order);
    } catch (...) {
        list.read = false;
        list.failure = std::current_exception();
    }
}

void Loaders::LoadVendors(VendorList list)
{
    trap(m_errors, "LoadVendors", [&] {
        if (list.failure)
            std::rethrow_exception(list.failure);
        // Replaces the list: opening another load must not list a vendor twice.
        if (list.read)
            m_screen.lstVendors->adoptRows(std::move(list.rows));
    });
}

namespace {

enum OrderColumn { CenterID, CenterName, FreightGroup, MemberID, NumberParcels, OrderID, PickupPostalCode, KLTV_OrderSegment, VendorID };
/// Where lstAllSelectedPOs shows an order's id and its segment.
enum { ShownOrderID = 0, ShownSegment = 6 };

} // namespace

Loaders::OrderRows Loaders::readOrdersOnLoad(const QByteArray& xml)
{
    OrderRows read;
    try {
        DataSetWalk::Document doc;
        read.parsed = doc.load(xml);
        if (read.parsed)
            DataSetWalk({"CenterID", "CenterName", "FreightGroup", "MemberID", "NumberParcels", "OrderID",
                         "PickupPostalCode", "KLTV_OrderSegment", "VendorID"})
                .walk(doc, [&](const QVector<QString>& row) {
                    read.rows.push_back(QStringList{row[OrderID], row[MemberID], row[CenterID], row[VendorID],
                                                    row[FreightGroup], row[PickupPostalCode], row[KLTV_OrderSegment],
                                                    row[NumberParcels], row[CenterName]});
                });
    } catch (...) {
        read.failure = std::current_exception();
    }
    return read;
}

void Loaders::LoadVendorHomeDeliverly(const QByteArray& xml)
{
    LoadVendorHomeDeliverly(readOrdersOnLoad(xml));
}

void Loaders::LoadVendorHomeDeliverly(OrderRows orders)
{
    ListView& list = *m_screen.lstAllSelectedPOs;
    std::size_t loaded = 0;
    // Rows read before a failure stay in the list, as the clerk would see them added one by one.
    auto flush = [&] {
        orders.rows.resize(loaded);
        list.addRows(std::move(orders.rows));
    };
    trap(m_errors, "LoadVendorHomeDeliverly", [&] {
        clearList(list);
        if (!orders.parsed) {
            if (orders.failure)
                std::rethrow_exception(orders.failure);
            return;
        }
        m_state.OrdersOnLoad.clear();
        qint16 n = 0;
        try {
            for (const QStringList& row : orders.rows) {
                n = nextInt16(n);
                auto& table = m_state.OrderSegmentTable;
                if (!table)
                    table.emplace();
                table->resize(n + 1);
                HomeDelieveryUDT& entry = (*table)[n];
                entry.OrderID = row[ShownOrderID];
                entry.OrderSegment = toInt16(row[ShownSegment]);
                m_state.OrdersOnLoad.push_back(entry);
                ++loaded;
            }
            if (orders.failure)
                std::rethrow_exception(orders.failure);
        } catch (...) {
            flush();
            throw;
        }
        flush();
    });
}

void Loaders::clearList(ListView& list)
{
    runWhenIdle(m_service.asideRunner(),
                [rows = std::make_shared<ListModel::Prepared>(list.takeAll())]() mutable { rows.reset(); });
}

Task<void> Loaders::refreshOrdersOnLoad()
{
    const QString envelope = m_service.GetVendorHomeDeliverlySOAPEnvelope(toInt16(qint64(m_state.LoadID)));
    m_state.HomeDeliverlyXML = co_await m_service.read(Unwrap::Operation::GetVendorHomeDeliverly, envelope);
    if (!m_state.HomeDeliverlyXML.isEmpty())
        LoadVendorHomeDeliverly(m_state.HomeDeliverlyXML);
}

Task<std::optional<qint16>> Loaders::segmentOnLoad(QString orderId, qint16 loadId)
{
    const QByteArray xml = co_await m_service.read(Unwrap::Operation::GetOrderDetails,
                                                   m_service.GetOrderDetailsSOAPEnvelope(orderId, loadId));
    if (xml.isEmpty() && !m_service.lastCallSucceeded())
        co_return std::nullopt;
    // An answer that cannot be read says nothing about the load: never taken as "not on it".
    DataSetWalk::Document doc;
    if (!doc.load(xml))
        throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                           QStringLiteral("The service's details of order %1 on load %2 could not be read")
                               .arg(orderId)
                               .arg(loadId));
    QString segment;
    DataSetWalk({"LoadSegment"}).walk(doc, {}, [&](int, const QString& value) { segment = value; });
    co_return segment.isEmpty() || segment == QLatin1String("0") ? qint16(0) : toInt16(segment);
}

void Loaders::RefreshSelectedPOs()
{
    trap(m_errors, "RefreshSelectedPOs", [&] {
        ListView& all = *m_screen.lstAllSelectedPOs;
        ListView& selected = *m_screen.lstSelectedPOs;
        selected.clear();
        const qint16 count = toInt16(qint64(all.count()));
        if (count == 0)
            return;
        // The highlighted vendor: after a Ctrl+click that took the highlight away, the
        // current row is no longer the vendor the clerk chose.
        const std::vector<int> vendorRows = m_screen.lstVendors->selectedRows();
        if (vendorRows.empty())
            throw RuntimeError(RuntimeErrorCode::ObjectNotSet);
        const QString vendor = vendorKey(m_screen.lstVendors->text(vendorRows.front()));
        std::vector<QStringList> rows;
        for (int i = 1; i <= count; ++i) {
            if (vendorKey(all.subItem(i, LoadColumn::VendorID)) == vendor)
                rows.push_back(QStringList{all.text(i), all.subItem(i, LoadColumn::Cartons),
                                           all.subItem(i, LoadColumn::CenterName) + QStringLiteral(" (")
                                               + all.subItem(i, LoadColumn::CenterID) + QLatin1Char(')')});
        }
        selected.addRows(std::move(rows));
    });
}

Task<void> Loaders::LoadVendorDetails(QString vendorId, qint16 loadId)
{
    try {
        m_screen.lstProspectivePOs->clear();
        m_screen.lstSelectedPOs->clear();
        auto& table = m_state.OrderSegmentTable;
        if (!table)
            table.emplace();
        table->resize(1);
        if (vendorId.isEmpty())
            co_return;
        // The service is asked by number: an id such as "V-12" cannot be sent, and saying
        // so is clearer than a bare type mismatch.
        if (!isNumeric(vendorId))
            throw RuntimeError(RuntimeErrorCode::TypeMismatch,
                               QStringLiteral("Vendor %1 is not a number, so its open orders cannot be asked for")
                                   .arg(vendorId));
        const QString envelope = m_service.GetVendorOrdersAndCentersOnlySOAPEnvelope(toInt16(vendorId), loadId);
        m_state.VendorOrdersXML = co_await m_service.read(Unwrap::Operation::GetVendorOrdersAndCentersOnly, envelope);
        DataSetWalk::Document doc;
        if (!doc.load(m_state.VendorOrdersXML))
            co_return;
        std::vector<QStringList> rows;
        DataSetWalk({"CenterName", "OrderCenterID", "OrderID"}).walk(doc, [&](const QVector<QString>& row) {
            rows.push_back(QStringList{row[2], row[0] + QStringLiteral(" (") + row[1] + QLatin1Char(')')});
        });
        m_screen.lstProspectivePOs->addRows(std::move(rows));
    } catch (...) {
        reportCurrent(m_errors, "LoadVendorDetails");
    }
}

Task<void> Loaders::LoadLineItemsOrderDetail(QString orderId, bool forOrderDetails, qint16 loadId)
{
    // Start from nothing, so another order's segment, cartons or lines can never be saved under this one.
    m_state.LoadSegment.clear();
    m_state.NumberOfCartonsForOrderLoad.clear();
    m_state.MaxSegment = QStringLiteral("0");

    FlexGrid& grid = forOrderDetails ? *m_screen.grdOrdItems : *m_screen.grdManualPOItems;
    const QString envelope = m_service.GetOrderDetailsSOAPEnvelope(orderId, loadId);
    const QByteArray xml = co_await m_service.read(Unwrap::Operation::GetOrderDetails, envelope);

    DataSetWalk::Document doc;
    if (!doc.load(xml)) {
        resetLineItemGrid(grid);
        co_return;
    }

    enum { OrderID, LineItem, Model, ItemDescription, MaxSegment, LoadSegment, NumberOfCartonsForOrderLoad };
    // The lines are gathered and the grid grown in two steps, not one row at a time: the
    // first line leaves the cursor where a grid of one line puts it, the rest only add rows.
    std::vector<std::array<QString, 3>> lines;
    const auto fill = [&] {
        if (showsLines(grid, lines)) {
            // Read again after a save: the same cells stay and are not drawn again; the
            // cursor goes where the refill below would leave it.
            setLineItemWidths(grid);
            grid.setCurrentCell(std::min(grid.row(), FlexGridModel::FixedRows), std::min(grid.col(), 3));
            return;
        }
        prepareLineItemGrid(grid);
        if (lines.empty())
            return;
        grid.setRows(FlexGridModel::FixedRows + 1);
        grid.setRows(FlexGridModel::FixedRows + int(lines.size()));
        for (int i = 0; i < int(lines.size()); ++i) {
            const int r = FlexGridModel::FixedRows + i;
            grid.setText(r, 0, QString::number(r));
            for (int c = 0; c < 3; ++c)
                grid.setText(r, c + 1, lines[size_t(i)][size_t(c)]);
        }
    };
    qint16 r = 1;
    try {
        DataSetWalk({"OrderID", "LineItem", "Model", "ItemDescription", "MaxSegment", "LoadSegment",
                     "NumberOfCartonsForOrderLoad"})
            .walk(
                doc,
                [&](const QVector<QString>& row) {
                    nextInt16(r); // a grid row past the 16-bit counter is refused before it is added
                    lines.push_back({row[LineItem], row[Model], row[ItemDescription]});
                    r = nextInt16(r);
                },
                [&](int column, const QString& value) {
                    if (column == MaxSegment)
                        m_state.MaxSegment = value;
                    else if (column == LoadSegment)
                        m_state.LoadSegment = value;
                    else if (column == NumberOfCartonsForOrderLoad)
                        m_state.NumberOfCartonsForOrderLoad = value;
                });
    } catch (...) {
        // The lines read before the failure stay shown, as they did when added one by one.
        fill();
        throw;
    }
    fill();
}

} // namespace palletry
