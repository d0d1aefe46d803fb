#pragma once

#include "core/Task.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace palletry {

struct ControlState;
class ErrorSink;
class EventLog;
class Loaders;
struct LineItemValues;
class Screen;
class ServiceRequests;

/**
 * Recording one line item of an order on the load: AddPO registers the order
 * (when the service does not hold it on this load yet) and records the line
 * item's details under the segment the service holds it under. Both save
 * handlers (vendor details and manual PO) go through here.
 */
class OrderRecording
{
public:
    OrderRecording(ControlState& state, Screen& screen, ErrorSink& errors, EventLog& log, ServiceRequests& requests,
                   Loaders& loaders);

    /**
     * Records the line item @p entry (as the panel's validation returned it) for
     * order @p orderId, whose details @p resultText (a GetVendorDetailsByOrderID
     * result) gives.
     *
     * Every value is converted and checked before the first write: every row of
     * the result must name @p orderId; the line item, PersonID, the carton count
     * (0: taken from the order's row in lstSelectedPOs, and @p cartonCount takes
     * that count) and the orders-array texts. The segment is the service's, never
     * a number worked out here: the order's details for this load are read, and
     * when the service does not hold the order on this load yet, AddPO registers
     * it and the details are read again for the segment it was given. Only then
     * is the order's row added to lstAllSelectedPOs, CurrentSegmentNumber set and
     * AddPODetails sent under that segment. A failure is reported under "AddPO"
     * (a call the service refused, by its sender) and ends the run, sending
     * nothing more.
     *
     * Tells whether the line item was recorded, and whether this run registered
     * the order on the load (with @p cartonCount).
     */
    struct Outcome
    {
        bool recorded = false;
        bool registered = false;
    };
    Task<Outcome> AddPO(QByteArray resultText, qint16& cartonCount, QString orderId, LineItemValues entry);

    /**
     * What both saves do once their entry passed: reads @p orderId's details
     * (GetVendorDetailsByOrderID, kept in VendorByOrderXML) and records @p entry
     * through AddPO. Nothing when the read failed: the call reported it, and
     * there is nothing to record.
     */
    Task<std::optional<Outcome>> record(QString orderId, qint16& cartonCount, LineItemValues entry);

    /**
     * False, after reporting it under "AddPO" (a line item that does not convert is one
     * of AddPO's failures), when @p entry names no line item of @p order ("order 5001").
     */
    bool lineItemChosen(const LineItemValues& entry, const QString& order);

    /// The time stamp of a recorded line item: local time, "yyyy-MM-ddTHH:mm:ss".
    static QString timeStamp();

private:
    /// The person id as AddPODetails carries it; a refusal names the host's value.
    qint16 personIdToSend() const;
    /// The rows of a GetVendorDetailsByOrderID result, as the load list and the orders array take them.
    struct OrderRows
    {
        std::vector<QStringList> listRows; ///< lstAllSelectedPOs rows, "MaxSequence" still empty
        QVector<QString> orders;           ///< orders-array entries
        std::vector<QStringList> fields;   ///< each entry's fields, for the separator check
    };

    OrderRows readOrderRows(const QByteArray& resultText, qint16& cartonCount, const QString& orderId);
    /// The segment the service holds @p orderId under on this load, registering it first when needed.
    Task<std::optional<qint16>> segmentOnThisLoad(QString orderId, const OrderRows& rows, bool& registered);
    void addToLoadList(OrderRows& rows, qint16 segment);

    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    EventLog& m_log;
    ServiceRequests& m_requests;
    Loaders& m_loaders;
};

} // namespace palletry
