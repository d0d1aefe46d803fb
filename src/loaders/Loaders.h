#pragma once

#include "core/DataSetWalk.h"
#include "core/Task.h"
#include "screen/ListModel.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <exception>
#include <memory>
#include <optional>
#include <vector>

namespace palletry {

struct ControlState;
class ErrorSink;
class FlexGrid;
class ListView;
class Screen;
class ServiceRequests;

/**
 * The result loaders: each turns one DataSet answer into screen rows and
 * fields. They never show a message for bad or empty data: a text that does
 * not parse, or has no rows, fills nothing.
 */
class Loaders
{
public:
    Loaders(ControlState& state, Screen& screen, ErrorSink& errors, ServiceRequests& service);

    /// Load header: truck number, load date ("mm/dd/yyyy") and carrier boxes.
    void LoadVendorIncomingLoad(const QByteArray& xml);
    /// The vendor master list as read, before lstVendors shows it.
    struct VendorList
    {
        bool read = false;          ///< the text was a DataSet; else the list stays as it is
        ListModel::Prepared rows;   ///< sorted as lstVendors will show them
        std::exception_ptr failure; ///< reported by LoadVendors
    };
    /**
     * Reads the vendor rows of @p xml into @p list, sorted by @p column / @p order; from
     * @p read when the call's check already read the text. The text and the read are let
     * go before the rows are sorted: a large list needs the room.
     * Touches no widget and no field, so it may run on a worker thread.
     */
    static void readVendors(VendorList& list, QByteArray xml, int column, Qt::SortOrder order,
                            std::shared_ptr<DataSetWalk::Document> read = {});
    /// Vendor master list: replaces the rows and the sort of lstVendors by @p list, or reports its failure.
    void LoadVendors(VendorList list);
    /// Orders on the load: refills lstAllSelectedPOs and rebuilds OrderSegmentTable.
    void LoadVendorHomeDeliverly(const QByteArray& xml);
    /// The orders on the load as read, before the list and the fields take them.
    struct OrderRows
    {
        bool parsed = false;           ///< the text was well-formed: the rows replace the list's
        std::vector<QStringList> rows; ///< each order as lstAllSelectedPOs shows it
        std::exception_ptr failure;    ///< met while reading: the rows before it still load, then it is reported
    };
    /// Reads the orders of @p xml. Touches no widget and no field.
    static OrderRows readOrdersOnLoad(const QByteArray& xml);
    /// As LoadVendorHomeDeliverly(xml), from the orders read from it.
    void LoadVendorHomeDeliverly(OrderRows orders);
    /// Empties @p list; its rows are let go while a core is idle (a large list's take a while).
    void clearList(ListView& list);
    /// The selected vendor's orders on the load, taken from lstAllSelectedPOs.
    void RefreshSelectedPOs();
    /// A vendor's open orders into lstProspectivePOs (asks the service itself).
    Task<void> LoadVendorDetails(QString vendorId, qint16 loadId);
    /**
     * One order's line items into grdOrdItems (@p forOrderDetails) or
     * grdManualPOItems, and its LoadSegment / MaxSegment / carton count fields.
     * Has no trap: failures reach the caller's.
     */
    Task<void> LoadLineItemsOrderDetail(QString orderId, bool forOrderDetails, qint16 loadId);

    /**
     * The segment under which the service holds @p orderId on load @p loadId, read
     * afresh (GetOrderDetails): 0 when the order is not on that load, nothing when
     * the call failed (it has been reported). Changes neither the screen nor the
     * fields. No trap: an answer that is no DataSet, or a LoadSegment that does not
     * convert, fails in the caller's.
     */
    Task<std::optional<qint16>> segmentOnLoad(QString orderId, qint16 loadId);

    /**
     * Refreshing the orders on the load: asks the service again and refills
     * lstAllSelectedPOs and OrderSegmentTable; an empty answer (no orders, or a
     * failed call, which was reported) leaves both as they were. No trap of its
     * own: a load id that is not a 16-bit number fails in the caller's trap.
     */
    Task<void> refreshOrdersOnLoad();

    /// "mm/dd/yyyy" of the calendar date a LoadDate text names; the text itself when it names none.
    static QString formatLoadDate(const QString& text);

    /// Empties a line-item grid down to its heading row, with the line-item headings.
    static void resetLineItemGrid(FlexGrid& grid);

private:
    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    ServiceRequests& m_service;
};

} // namespace palletry
