#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace pugi {
class xml_document;
}

namespace palletry {

/**
 * The reply side of the service: plain text edits that turn a serialised reply
 * into the bare DataSet text. Every edit is exact, case-sensitive, replaces every
 * occurrence and is a single pass (inserted text is not searched again). None
 * can fail; the empty text stays empty. Parameters are taken by value so that a
 * caller handing over its text pays no copy; a text with nothing to edit comes
 * back untouched.
 */
namespace Unwrap {

/**
 * Turns the escaped result text back into markup: "&lt;" -> "<", "&gt;" -> ">",
 * <?xml version="1.0"?> -> <?xml version="1.0" encoding="utf-8" ?>, then
 * "&amp;" -> "&", each as if applied one after the other, done in one pass.
 * The last step makes the whole chain the inverse of the serialiser's escaping.
 */
QString UnescapeResultXML(QString text);

/// Removes the reply's SOAP envelope and body tags and the utf-8 declaration.
QString StripSOAPEnvelope(QString text);

QString UnwrapGetVendorIncomingLoad(QString text);
QString UnwrapGetVendorDataVendorMaster(QString text);
QString UnwrapGetVendorHomeDeliverly(QString text);
QString UnwrapGetVendorOrdersAndCentersOnly(QString text);
QString UnwrapGetVendorDetailsByOrderID(QString text);
/// Also removes the typed result tag and the empty result element.
QString UnwrapGetOrderDetails(QString text);

/// The read operations whose replies are unwrapped.
enum class Operation {
    GetVendorIncomingLoad,
    GetVendorDataVendorMaster,
    GetVendorHomeDeliverly,
    GetVendorOrdersAndCentersOnly,
    GetOrderDetails,
    GetVendorDetailsByOrderID,
};

/// The operation's name as the service spells it (the SOAP action's last part).
const char* operationName(Operation operation);

/// The unwrapper of @p operation (one of the six above).
QString unwrap(Operation operation, QString text);

/// UnescapeResultXML on UTF-8 text (the reply as serialised), same result byte for byte.
std::string unescapeResultUtf8(const std::string& text);

/**
 * What ReturnWebserviceXML returns for the read reply @p reply, as UTF-8:
 * StripSOAPEnvelope(UnescapeResultXML(serialised reply)), byte for byte.
 * @p sizeHint: room to reserve for the serialised text (the reply's size).
 */
QByteArray replyText(const pugi::xml_document& reply, std::size_t sizeHint = 0);

/**
 * The DataSet text of the read reply @p reply of @p operation, as UTF-8: the
 * operation's unwrapper applied to replyText(reply), byte for byte, made in one
 * walk of the reply, one scan of its text and one compaction in place.
 */
QByteArray dataSetText(Operation operation, const pugi::xml_document& reply, std::size_t sizeHint = 0);

/// StripSOAPEnvelope and then the unwrapper of @p operation on UTF-8 text, done as dataSetText does them.
QByteArray stripAndUnwrapUtf8(Operation operation, QByteArray text);

} // namespace Unwrap
} // namespace palletry
