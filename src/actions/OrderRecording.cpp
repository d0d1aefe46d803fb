#include "actions/OrderRecording.h"

#include "actions/LineItemEntry.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/DataSetWalk.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "screen/ListView.h"
#include "screen/Screen.h"
#include "soap/ServiceRequests.h"
#include "transport/EventLog.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>

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
                               ServiceRequests& requests, LineItemEntry& orderDetails, LineItemEntry& manualPO)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_log(log)
    , m_requests(requests)
    , m_orderDetails(orderDetails)
    , m_manualPO(manualPO)
{
}

QString OrderRecording::timeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

qint16 OrderRecording::FindOrderSegment(const QString& orderId)
{
    qint16 segment = 0;
    trap(m_errors, "FindOrderSegment", [&] {
        const auto& table = m_state.OrderSegmentTable;
        // A table never sized holds no order: 0, as for an order that is not on the load.
        if (!table || table->size() < 2)
            return;
        const qint16 upper = toInt16(qint64(table->size() - 1));
        for (int i = 1; i <= upper; ++i) {
            if ((*table)[i].OrderID == orderId) {
                segment = (*table)[i].OrderSegment;
                return;
            }
        }
    });
    return segment;
}

bool OrderRecording::AddPO(const QByteArray& resultText, qint16 cartonCount, const QString& orderId,
                           bool fromOrderDetails)
{
    bool recorded = false;
    trap(m_errors, "AddPO", [&] {
        DataSetWalk::Document doc;
        if (!doc.load(resultText))
            m_log.write(QStringLiteral("XML Error: ") + parseErrorReason(resultText), EventType::Warning);

        // The order is registered only while no segment has been chosen for it.
        const bool registers = m_state.CurrentSegmentNumber == 0;
        enum { OrderID, MemberID, OrderCenterID, VendorID, FreightGroup, PostalCode, CenterName };
        std::vector<QStringList> listRows;
        QVector<QString> orders;
        QString lastOrderId;
        qint16 k = 0;
        DataSetWalk({"OrderID", "MemberID", "OrderCenterID", "VendorID", "FreightGroup", "PostalCode", "CenterName"})
            .walk(doc, [&](const QVector<QString>& row) {
                k = nextInt16(k); // the orders array is indexed by a 16-bit counter
                const qint16 segment = nextInt16(FindOrderSegment(row[OrderID]));
                if (cartonCount == 0) {
                    // No count typed: the one the selected orders list shows for this order.
                    const int pos = m_screen.lstSelectedPOs->findText(row[OrderID]);
                    if (pos == 0)
                        throw RuntimeError(RuntimeErrorCode::ObjectNotSet);
                    cartonCount = toInt16(m_screen.lstSelectedPOs->subItem(pos, 1));
                }
                const QStringList fields{row[OrderID],    row[MemberID],
                                         row[OrderCenterID], row[VendorID],
                                         QString::number(m_state.LoadID), QString::number(cartonCount),
                                         row[PostalCode], row[FreightGroup],
                                         m_state.PersonID, m_state.PersonTypeID};
                if (registers) {
                    // The service splits the entry at ";": a value holding one would shift the fields.
                    for (const QString& field : fields) {
                        if (field.contains(QLatin1Char(';')))
                            throw RuntimeError(
                                RuntimeErrorCode::InvalidProcedureCall,
                                QStringLiteral("The value '%1' of order %2 holds ';' and cannot be sent in the orders array")
                                    .arg(field, row[OrderID]));
                    }
                }
                orders.push_back(fields.join(QLatin1Char(';')));
                listRows.push_back(QStringList{row[OrderID], row[MemberID], row[OrderCenterID], row[VendorID],
                                               row[FreightGroup], row[PostalCode], QString::number(segment),
                                               QString::number(cartonCount), row[CenterName]});
                lastOrderId = row[OrderID];
            });
        if (orders.isEmpty())
            throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                               QStringLiteral("The service returned no details for order %1").arg(orderId));

        // Everything is converted before the first write: a value that does not convert sends nothing.
        const LineItemPanel& panel = (fromOrderDetails ? m_orderDetails : m_manualPO).panel();
        const qint16 lineItem = toInt16(panel.lineItem->text());
        const double unitWeight = toDouble(panel.unitWeight->text());
        const qint16 personId = toInt16(m_state.PersonID);
        const qint16 segment = registers ? toInt16(toDouble(m_state.MaxSegment) + 1.0) : m_state.CurrentSegmentNumber;
        const QString stamp = timeStamp();

        m_screen.lstAllSelectedPOs->addRows(std::move(listRows));
        if (registers) {
            // A refused registration is reported by the call; its details would have no segment to go to.
            if (!m_requests.AddPOSOAP(orders))
                return;
            m_state.CurrentSegmentNumber = segment;
        }
        recorded = m_requests.AddPODetailsSOAP(lastOrderId, segment, lineItem, stamp, 0, unitWeight, personId,
                                               m_state.PersonTypeID, stamp, 0);
    });
    return recorded;
}

} // namespace palletry
