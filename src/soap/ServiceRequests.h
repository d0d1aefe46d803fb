#pragma once

#include "soap/Unwrap.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace palletry {

struct ControlState;
class ErrorSink;
class SoapCall;

/**
 * The requests the control sends: the builders of the read operations'
 * envelopes and the senders of the three write operations.
 *
 * Each assembles its text in the scratch fields EnvelopeXML and BodyXML
 * (both empty again when it returns): the body goes into BodyXML, the envelope
 * template into EnvelopeXML, and the word XMLData in it is replaced by the
 * body in one pass. Every inserted value is XML-escaped, so no value can break
 * the envelope or add elements to it.
 *
 * A builder or sender with a trap reports a failure under its label through
 * the error sink and returns the empty text (builders) or false (senders).
 * Senders post through SoapCall as write calls and return true only when the
 * service accepted the write; a rejected or unsent write has been reported.
 */
class ServiceRequests
{
public:
    ServiceRequests(ControlState& state, SoapCall& call, ErrorSink& sink);

    QString GetVendorIncomingLoadSOAPEnvelope(qint16 IncomingLoadID);
    QString GetVendorDataVendorMasterSOAPEnvelope();
    QString GetVendorHomeDeliverlySOAPEnvelope(qint16 IncomingLoadID);
    /// No trap: a failure goes to the caller's trap.
    QString GetVendorOrdersAndCentersOnlySOAPEnvelope(qint16 VendorID, qint16 IncomingLoadID);
    QString GetOrderDetailsSOAPEnvelope(const QString& OrderID, qint16 IncomingLoadID);
    QString GetVendorDetailsByOrderIDSOAPEnvelope(const QString& OrderID);

    /// Records one line item's receipt (operation AddPODetails). Label "AddPODetailsSOAP".
    bool AddPODetailsSOAP(const QString& OrderID, qint16 OrderSegment, qint16 LineItem, const QString& ReceivedDate,
                          qint16 QuantityReceived, double UnitWeight, qint16 PersonID, const QString& PersonType,
                          const QString& RecordLastUpdated, qint16 UnloadedIndicator);

    /**
     * Registers orders on the load (operation AddPO), one <string> item per
     * entry. std::nullopt stands for an orders array that was never given an
     * element: a subscript error reported under "AddPOSOAP". An empty array
     * sends nothing and returns false without a report.
     */
    bool AddPOSOAP(const std::optional<QVector<QString>>& Orders);

    /// Removes an order from the load (operation DeletePO). Label "DeletePO".
    bool DeletePOSOAP(const QString& OrderID, qint16 OrderSegment);

    /**
     * Sends @p envelope as a read call of @p operation to the service that
     * LoadData named, and returns the reply with every wrapper removed by the
     * operation's unwrapper: the DataSet text in UTF-8, or the empty text after a failed call.
     */
    QByteArray read(Unwrap::Operation operation, const QString& envelope);

    /// True when the last call was answered and read (a read) or accepted (a write); false after a reported failure.
    bool lastCallSucceeded() const;

    /// How many writes the service has accepted so far: a change tells that the load changed.
    quint64 acceptedWrites() const { return m_acceptedWrites; }

private:
    void wrapBody();
    QString assemble(const std::function<QString()>& body);
    QString build(const char* label, const std::function<QString()>& body);
    bool send(const char* operation);

    ControlState& m_state;
    SoapCall& m_call;
    ErrorSink& m_sink;
    quint64 m_acceptedWrites = 0;
};

} // namespace palletry
