#include "soap/ServiceRequests.h"

#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "soap/Envelopes.h"
#include "soap/SoapCall.h"

namespace palletry {
namespace {

const QLatin1String sixSpaces("      ");

QString element(const char* name, const QString& escapedValue)
{
    return QLatin1Char('<') + QLatin1String(name) + QLatin1Char('>') + escapedValue + QLatin1String("</")
        + QLatin1String(name) + QLatin1Char('>');
}

QString textElement(const char* name, const QString& value)
{
    return element(name, Envelopes::xmlEscaped(value));
}

QString numberElement(const char* name, qint16 value)
{
    return element(name, QString::number(value));
}

QString endTag(const char* name)
{
    return QLatin1String("</") + QLatin1String(name) + QLatin1Char('>');
}

/// The envelope template with its XMLData placeholder replaced by @p body.
QString wrapped(const QString& body)
{
    QString envelope = Envelopes::WrapSOAPEnvelope();
    // QString::replace does not search the inserted text again.
    envelope.replace(QLatin1String("XMLData"), body);
    return envelope;
}

} // namespace

ServiceRequests::ServiceRequests(SoapCall& call, ErrorSink& sink)
    : m_call(call)
    , m_sink(sink)
{
}

void ServiceRequests::setService(const QString& serviceUrl, const QString& soapActionPrefix)
{
    m_serviceUrl = serviceUrl;
    m_soapActionPrefix = soapActionPrefix;
}

QString ServiceRequests::build(const char* label, const std::function<QString()>& body)
{
    QString result;
    trap(m_sink, label, [&] { result = wrapped(body()); });
    return result;
}

QString ServiceRequests::GetVendorIncomingLoadSOAPEnvelope(qint16 IncomingLoadID)
{
    return build("GetVendorIncomingLoadSOAPEnvelope", [&]() -> QString {
        return Envelopes::operationStartTag("GetVendorIncomingLoad") + sixSpaces
                     + numberElement("IncomingLoadID", IncomingLoadID) + endTag("GetVendorIncomingLoad");
    });
}

QString ServiceRequests::GetVendorDataVendorMasterSOAPEnvelope()
{
    return build("GetVendorDataVendorMasterSOAPEnvelope", []() -> QString {
        QString body = Envelopes::operationStartTag("GetVendorDataVendorMaster");
        body.insert(body.size() - 1, QLatin1String(" /"));
        return body;
    });
}

QString ServiceRequests::GetVendorHomeDeliverlySOAPEnvelope(qint16 IncomingLoadID)
{
    return build("GetVendorHomeDeliverlySOAPEnvelope", [&]() -> QString {
        return Envelopes::operationStartTag("GetVendorHomeDeliverly") + sixSpaces
                     + numberElement("IncomingLoadID", IncomingLoadID) + endTag("GetVendorHomeDeliverly");
    });
}

QString ServiceRequests::GetVendorOrdersAndCentersOnlySOAPEnvelope(qint16 VendorID, qint16 IncomingLoadID)
{
    return wrapped(Envelopes::operationStartTag("GetVendorOrdersAndCentersOnly") + sixSpaces
                   + numberElement("VendorID", VendorID) + sixSpaces + numberElement("IncomingLoadID", IncomingLoadID)
                   + endTag("GetVendorOrdersAndCentersOnly"));
}

QString ServiceRequests::GetOrderDetailsSOAPEnvelope(const QString& OrderID, qint16 IncomingLoadID)
{
    return build("GetOrderDetailsSOAPEnvelope", [&]() -> QString {
        return Envelopes::operationStartTag("GetOrderDetails") + sixSpaces + textElement("OrderID", OrderID)
                     + sixSpaces + numberElement("IncomingLoadID", IncomingLoadID) + endTag("GetOrderDetails");
    });
}

QString ServiceRequests::GetVendorDetailsByOrderIDSOAPEnvelope(const QString& OrderID)
{
    return build("GetVendorDetailsByOrderIDSOAPEnvelope", [&]() -> QString {
        return Envelopes::operationStartTag("GetVendorDetailsByOrderID") + sixSpaces
                     + textElement("OrderID", OrderID) + endTag("GetVendorDetailsByOrderID");
    });
}

Task<bool> ServiceRequests::send(const char* operation, QString envelope)
{
    co_await m_call.ReturnWebserviceXML(m_serviceUrl, QString(), m_soapActionPrefix + QLatin1String(operation), envelope,
                                        true);
    const bool accepted = m_call.lastCallSucceeded();
    if (accepted)
        ++m_acceptedWrites;
    co_return accepted;
}

Task<bool> ServiceRequests::AddPODetailsSOAP(QString OrderID, qint16 OrderSegment, qint16 LineItem,
                                             QString ReceivedDate, qint16 QuantityReceived, double UnitWeight,
                                             qint16 PersonID, QString PersonType, QString RecordLastUpdated,
                                             qint16 UnloadedIndicator)
{
    bool accepted = false;
    try {
        const QString body = Envelopes::operationStartTag("AddPODetails") + textElement("OrderID", OrderID)
            + numberElement("KLTV_OrderSegment", OrderSegment) + numberElement("LineItem", LineItem)
            + textElement("ReceivedDate", ReceivedDate) + numberElement("QuantityReceived", QuantityReceived)
            + element("UnitWeight", Envelopes::formatUnitWeight(UnitWeight)) + numberElement("PersonID", PersonID)
            + textElement("PersonType", PersonType) + textElement("RecordLastUpdated", RecordLastUpdated)
            + numberElement("UnloadedIndicator", UnloadedIndicator)
            + QLatin1String("<StorageIndicator>0</StorageIndicator>") + endTag("AddPODetails");
        accepted = co_await send("AddPODetails", wrapped(body));
    } catch (...) {
        reportCurrent(m_sink, "AddPODetailsSOAP");
    }
    co_return accepted;
}

Task<bool> ServiceRequests::AddPOSOAP(std::optional<QVector<QString>> Orders)
{
    bool accepted = false;
    try {
        QString envelope = wrapped(Envelopes::operationStartTag("AddPO") + sixSpaces + QLatin1String("OrdersBody ")
                                   + endTag("AddPO"));

        if (!Orders)
            throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
        if (Orders->isEmpty())
            co_return false;

        QString items;
        for (const QString& order : *Orders)
            items += QLatin1String("<string>") + Envelopes::xmlEscaped(order) + QLatin1String("</string>\r\n");
        QString list = QStringLiteral("<OrdersArray>OrdersArrayBody</OrdersArray>");
        list.replace(QLatin1String("OrdersArrayBody"), items);
        envelope.replace(QLatin1String("OrdersBody"), list);

        accepted = co_await send("AddPO", envelope);
    } catch (...) {
        reportCurrent(m_sink, "AddPOSOAP");
    }
    co_return accepted;
}

Task<bool> ServiceRequests::DeletePOSOAP(QString OrderID, qint16 OrderSegment)
{
    bool accepted = false;
    try {
        const QString body = Envelopes::operationStartTag("DeletePO") + sixSpaces + textElement("OrderID", OrderID)
            + sixSpaces + numberElement("OrderSegment", OrderSegment) + endTag("DeletePO");
        accepted = co_await send("DeletePO", wrapped(body));
    } catch (...) {
        reportCurrent(m_sink, "DeletePO");
    }
    co_return accepted;
}

AsideRunner* ServiceRequests::asideRunner() const
{
    return m_call.asideRunner();
}

bool ServiceRequests::lastCallSucceeded() const
{
    return m_call.lastCallSucceeded();
}

Task<QByteArray> ServiceRequests::read(Unwrap::Operation operation, QString envelope,
                                       std::shared_ptr<DataSetWalk::Document>* rows)
{
    // UTF-8 from the wire to the loader's walk: only the values shown become QString.
    return m_call.readDataSet(operation, m_serviceUrl,
                              m_soapActionPrefix + QLatin1String(Unwrap::operationName(operation)), envelope, rows);
}

} // namespace palletry
