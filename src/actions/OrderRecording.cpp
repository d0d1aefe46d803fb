#include "actions/OrderRecording.h"

#include "actions/LineItemEntry.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/DataSetWalk.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/ListView.h"
#include "screen/Screen.h"
#include "soap/ServiceRequests.h"
#include "transport/EventLog.h"

#include <QDateTime>

#include <pugixml.hpp>

#include <vector>

namespace palletry {
namespace {

// The parser's reason for a text that did not load as one document.
QString parseErrorReason(const QByteArray& text)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result result = doc.load_buffer(text.constData(), size_t(text.size()));
    if (!result)
        return QString::fromLatin1(result.description()) + QStringLiteral(" at offset ") + QString::number(result.offset);
    return QStringLiteral("Not a single XML document");
}

} // namespace

OrderRecording::OrderRecording(ControlState& state, Screen& screen, ErrorSink& errors, EventLog& log,
                               ServiceRequests& requests, Loaders& loaders)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_log(log)
    , m_requests(requests)
    , m_loaders(loaders)
{
}

bool OrderRecording::lineItemChosen(const LineItemValues& entry, const QString& order)
{
    if (!entry.lineItem.isEmpty())
        return true;
    m_errors.reportError(RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                                      QStringLiteral("No line item of %1 is chosen: click one in the grid first").arg(order))
                             .record(),
                         QStringLiteral("AddPO"));
    return false;
}

QString OrderRecording::timeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

OrderRecording::OrderRows OrderRecording::readOrderRows(const QByteArray& resultText, qint16& cartonCount,
                                                       const QString& orderId)
{
    DataSetWalk::Document doc;
    if (!doc.load(resultText))
        m_log.write(QStringLiteral("XML Error: ") + parseErrorReason(resultText), EventType::Warning);

    enum { OrderID, MemberID, OrderCenterID, VendorID, FreightGroup, PostalCode, CenterName };
    OrderRows rows;
    qint16 k = 0;
    DataSetWalk({"OrderID", "MemberID", "OrderCenterID", "VendorID", "FreightGroup", "PostalCode", "CenterName"})
        .walk(doc, [&](const QVector<QString>& row) {
            // The details must be those of the order on screen: another order's would be
            // registered and written in its place.
            if (row[OrderID] != orderId)
                throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                                   QStringLiteral("The service answered with the details of order '%1' for order "
                                                  "'%2': nothing was saved")
                                       .arg(row[OrderID], orderId));
            k = nextInt16(k); // the orders array is indexed by a 16-bit counter
            if (cartonCount == 0) {
                // No count typed: the one the selected orders list shows for this order.
                const int pos = m_screen.lstSelectedPOs->findText(row[OrderID]);
                if (pos == 0)
                    throw RuntimeError(RuntimeErrorCode::ObjectNotSet);
                cartonCount = toInt16(m_screen.lstSelectedPOs->subItem(pos, 1));
            }
            QStringList fields{row[OrderID],    row[MemberID],
                               row[OrderCenterID], row[VendorID],
                               QString::number(m_state.LoadID), QString::number(cartonCount),
                               row[PostalCode], row[FreightGroup],
                               m_state.PersonID, m_state.PersonTypeID};
            rows.orders.push_back(fields.join(QLatin1Char(';')));
            rows.fields.push_back(std::move(fields));
            // In the load list's column order; the segment is filled in once the service named it.
            rows.listRows.push_back(QStringList{row[OrderID], row[MemberID], row[OrderCenterID], row[VendorID],
                                                row[FreightGroup], row[PostalCode], QString(),
                                                QString::number(cartonCount), row[CenterName]});
        });
    if (rows.orders.isEmpty())
        throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                           QStringLiteral("The service returned no details for order %1").arg(orderId));
    return rows;
}

Task<std::optional<qint16>> OrderRecording::segmentOnThisLoad(QString orderId, const OrderRows& rows,
                                                              bool& registered)
{
    const qint16 loadId = toInt16(qint64(m_state.LoadID));
    // Asked afresh: another clerk, or an AddPO whose answer was lost, may have placed it since.
    const std::optional<qint16> held = co_await m_loaders.segmentOnLoad(orderId, loadId);
    if (!held || *held != 0)
        co_return held;
    if (const qint16 remembered = m_state.CurrentSegmentNumber) {
        m_state.CurrentSegmentNumber = 0;
        // Taken up under that segment: someone took it off this load since.
        if (remembered == m_state.SegmentFromService)
            throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                               QStringLiteral("Order %1 is no longer on load %2 under segment %3: nothing was saved")
                                   .arg(orderId)
                                   .arg(m_state.LoadID)
                                   .arg(remembered));
        // The segment came from elsewhere (the host set it): the service never held the order there.
        throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                           QStringLiteral("The current segment %3 is not the service's for order %1 on load %2, "
                                          "which does not hold it: nothing was saved")
                               .arg(orderId)
                               .arg(m_state.LoadID)
                               .arg(remembered));
    }

    // The service splits each entry at ";": a value holding one would shift the fields.
    for (const QStringList& fields : rows.fields) {
        for (const QString& field : fields) {
            if (field.contains(QLatin1Char(';')))
                throw RuntimeError(
                    RuntimeErrorCode::InvalidProcedureCall,
                    QStringLiteral("The value '%1' of order %2 holds ';' and cannot be sent in the orders array")
                        .arg(field, orderId));
        }
    }
    // A refused registration is reported by the call; its details would have no segment to go to.
    if (!co_await m_requests.AddPOSOAP(rows.orders))
        co_return std::nullopt;
    registered = true;
    const std::optional<qint16> given = co_await m_loaders.segmentOnLoad(orderId, loadId);
    if (given && *given == 0)
        throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                           QStringLiteral("The service registered order %1 but names no segment of it on load %2: "
                                          "the line item was not saved")
                               .arg(orderId)
                               .arg(m_state.LoadID));
    co_return given;
}

void OrderRecording::addToLoadList(OrderRows& rows, qint16 segment)
{
    for (QStringList& row : rows.listRows)
        row[LoadColumn::MaxSequence] = QString::number(segment);
    m_screen.lstAllSelectedPOs->addRows(std::move(rows.listRows));
}

qint16 OrderRecording::personIdToSend() const
{
    try {
        return toInt16(m_state.PersonID);
    } catch (const RuntimeError& e) {
        // The host's value, not the clerk's: name it, or the report says only "Type mismatch".
        throw RuntimeError(ErrorRecord{e.record().number,
                                       QStringLiteral("%1: the person id '%2' given with SetPersonInformation is not a "
                                                      "whole number from -32768 to 32767; nothing was saved")
                                           .arg(e.record().description, m_state.PersonID),
                                       e.record().source});
    }
}

Task<std::optional<OrderRecording::Outcome>> OrderRecording::record(QString orderId, qint16& cartonCount,
                                                                   LineItemValues entry)
{
    const QString envelope = m_requests.GetVendorDetailsByOrderIDSOAPEnvelope(orderId);
    m_state.VendorByOrderXML = co_await m_requests.read(Unwrap::Operation::GetVendorDetailsByOrderID, envelope);
    if (m_state.VendorByOrderXML.isEmpty() && !m_requests.lastCallSucceeded())
        co_return std::nullopt;
    co_return co_await AddPO(m_state.VendorByOrderXML, cartonCount, orderId, entry);
}

Task<OrderRecording::Outcome> OrderRecording::AddPO(QByteArray resultText, qint16& cartonCount, QString orderId,
                                                    LineItemValues entry)
{
    Outcome outcome;
    try {
        OrderRows rows = readOrderRows(resultText, cartonCount, orderId);
        // Everything is converted before the first write: a value that does not convert sends nothing.
        const qint16 lineItem = toInt16(entry.lineItem);
        const qint16 personId = personIdToSend();
        const QString stamp = timeStamp();

        const std::optional<qint16> segment = co_await segmentOnThisLoad(orderId, rows, outcome.registered);
        if (!segment)
            co_return outcome;
        m_state.CurrentSegmentNumber = *segment;
        m_state.SegmentFromService = *segment;
        addToLoadList(rows, *segment);
        outcome.recorded = co_await m_requests.AddPODetailsSOAP(orderId, *segment, lineItem, stamp, 0,
                                                                entry.unitWeight, personId, m_state.PersonTypeID,
                                                                stamp, 0);
    } catch (...) {
        reportCurrent(m_errors, "AddPO");
    }
    co_return outcome;
}

} // namespace palletry
