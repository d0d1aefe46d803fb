#pragma once

#include <palletry/HomeDelieveryUDT.h>

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace pugi {
class xml_document;
}

namespace palletry {

class HttpExchange;

/**
 * Every field of the control, under its own name, as plain data. The parts of
 * the control read and write these directly; nothing here has behaviour.
 */
struct ControlState
{
    /// Segment under which the orders being saved are placed; 0 = none chosen yet.
    qint16 CurrentSegmentNumber = 0;

    /// Scratch texts of the request builders and senders; empty between calls.
    QString EnvelopeXML;
    QString BodyXML;

    /// Scheme and server given to LoadData, and the service address built from it.
    QString ServerName;
    QString ServiceUrl;
    /// ServiceNamespace + "/": the SOAP action of an operation is this + its name.
    QString SoapActionPrefix;

    qint32 SelectedVendorID = 0;
    qint32 LoadID = 0;

    /// Orders on the load and their segments; entry 0 is not a row.
    /// std::nullopt until an answer with rows (or a vendor's details) sized it.
    std::optional<QVector<HomeDelieveryUDT>> OrderSegmentTable;

    /// Per-order values of the last order-details answer.
    QString LoadSegment;
    QString MaxSegment;
    QString NumberOfCartonsForOrderLoad;

    QString PersonID;
    QString PersonTypeID;

    /// Unwrapped results of the last call of each read operation, as UTF-8
    /// (as received): DataSetWalk::Document reads them without a UTF-16 copy.
    QByteArray IncomingLoadXML;
    QByteArray VendorMasterXML;
    QByteArray HomeDeliverlyXML;
    QByteArray VendorOrdersXML;
    QByteArray VendorByOrderXML;

    /// The HTTP request of the call in progress; kept after a write call or a failure.
    std::shared_ptr<HttpExchange> HttpRequest;
    /// The reply of the last successful read call (an empty document otherwise).
    std::shared_ptr<pugi::xml_document> ReplyDocument;
};

} // namespace palletry
