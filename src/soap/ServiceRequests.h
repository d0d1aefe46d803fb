#pragma once

#include "core/Task.h"
#include "soap/Unwrap.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace palletry {

class AsideRunner;
class ErrorSink;
class SoapCall;

/**
 * The requests the control sends: the builders of the read operations'
 * envelopes and the senders of the three write operations.
 *
 * Each builds the operation's body, then the envelope from its template with
 * the word XMLData in it replaced by the body in one pass. Every inserted value
 * is XML-escaped, so no value can break the envelope or add elements to it.
 *
 * The service's address and the SOAP action prefix are given once, by
 * setService() (LoadData), and used by every call that follows.
 *
 * A builder or sender with a trap reports a failure under its label through
 * the error sink and returns the empty text (builders) or false (senders).
 * Senders post through SoapCall as write calls and return true only when the
 * service accepted the write; a rejected or unsent write has been reported.
 */
class ServiceRequests
{
public:
    ServiceRequests(SoapCall& call, ErrorSink& sink);

    /// Where the following calls go: @p serviceUrl, with SOAP actions @p soapActionPrefix + operation.
    void setService(const QString& serviceUrl, const QString& soapActionPrefix);

    QString GetVendorIncomingLoadSOAPEnvelope(qint16 IncomingLoadID);
    QString GetVendorDataVendorMasterSOAPEnvelope();
    QString GetVendorHomeDeliverlySOAPEnvelope(qint16 IncomingLoadID);
    /// No trap: a failure goes to the caller's trap.
    QString GetVendorOrdersAndCentersOnlySOAPEnvelope(qint16 VendorID, qint16 IncomingLoadID);
    QString GetOrderDetailsSOAPEnvelope(const QString& OrderID, qint16 IncomingLoadID);
    QString GetVendorDetailsByOrderIDSOAPEnvelope(const QString& OrderID);

    /// Records one line item's receipt (operation AddPODetails). Label "AddPODetailsSOAP".
    Task<bool> AddPODetailsSOAP(QString OrderID, qint16 OrderSegment, qint16 LineItem, QString ReceivedDate,
                                qint16 QuantityReceived, double UnitWeight, qint16 PersonID, QString PersonType,
                                QString RecordLastUpdated, qint16 UnloadedIndicator);

    /**
     * Registers orders on the load (operation AddPO), one <string> item per
     * entry. std::nullopt stands for an orders array that was never given an
     * element: a subscript error reported under "AddPOSOAP". An empty array
     * sends nothing and returns false without a report.
     */
    Task<bool> AddPOSOAP(std::optional<QVector<QString>> Orders);

    /// Removes an order from the load (operation DeletePO). Label "DeletePO".
    Task<bool> DeletePOSOAP(QString OrderID, qint16 OrderSegment);

    /**
     * Sends @p envelope as a read call of @p operation to the service given to
     * setService(), and returns the reply with every wrapper removed by the
     * operation's unwrapper: the DataSet text in UTF-8, or the empty text after a failed call.
     * @p rows, when given, receives the text's rows as the check read them (none when it did not);
     * when they were read where the text stands escaped in the reply, the text returned is empty.
     */
    Task<QByteArray> read(Unwrap::Operation operation, QString envelope,
                          std::shared_ptr<DataSetWalk::Document>* rows = nullptr);

    /// Where long work on a reply runs (a worker thread); null: on the calling thread.
    AsideRunner* asideRunner() const;

    /// True when the last call was answered and read (a read) or accepted (a write); false after a reported failure.
    bool lastCallSucceeded() const;

    /// How many writes the service has accepted so far: a change tells that the load changed.
    quint64 acceptedWrites() const { return m_acceptedWrites; }

private:
    QString build(const char* label, const std::function<QString()>& body);
    Task<bool> send(const char* operation, QString envelope);

    SoapCall& m_call;
    QString m_serviceUrl;
    QString m_soapActionPrefix;
    ErrorSink& m_sink;
    quint64 m_acceptedWrites = 0;
};

} // namespace palletry
