#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace palletry {

struct ControlState;
class ErrorSink;
class EventLog;
class LineItemEntry;
class Screen;
class ServiceRequests;

/**
 * Recording one line item of an order on the load: AddPO registers the order
 * (when no segment has been chosen yet) and records the line item's details;
 * FindOrderSegment looks an order up among the orders on the load.
 * Both save handlers (vendor details and manual PO) go through here.
 */
class OrderRecording
{
public:
    OrderRecording(ControlState& state, Screen& screen, ErrorSink& errors, EventLog& log, ServiceRequests& requests,
                   LineItemEntry& orderDetails, LineItemEntry& manualPO);

    /**
     * Records the line item taken up on the order-details panel (@p fromOrderDetails)
     * or the manual-PO panel, for the order(s) that @p resultText (a
     * GetVendorDetailsByOrderID result) describes.
     *
     * Every value is converted and checked before the first write: the line item,
     * the unit weight, PersonID, the new segment, the carton count (0: taken from the
     * order's row in lstSelectedPOs) and the orders-array texts. Then, while
     * CurrentSegmentNumber is 0, AddPO registers the order and CurrentSegmentNumber
     * becomes MaxSegment + 1; then AddPODetails records the line item under
     * CurrentSegmentNumber. A failure is reported under "AddPO" (a write the
     * service refused, by its sender) and ends the run, sending nothing more.
     *
     * Returns true only when every write sent was accepted.
     */
    bool AddPO(const QByteArray& resultText, qint16 cartonCount, const QString& orderId, bool fromOrderDetails);

    /// The segment of @p orderId on the load (exact text match), 0 when it is not there.
    qint16 FindOrderSegment(const QString& orderId);

    /// The time stamp of a recorded line item: local time, "yyyy-MM-ddTHH:mm:ss".
    static QString timeStamp();

private:
    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    EventLog& m_log;
    ServiceRequests& m_requests;
    LineItemEntry& m_orderDetails;
    LineItemEntry& m_manualPO;
};

} // namespace palletry
