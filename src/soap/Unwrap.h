#pragma once

#include "core/DataSetWalk.h"
#include "core/XmlText.h"

#include <QByteArray>

#include <cstddef>

#include <memory>
#include <string>

namespace pugi {
class xml_document;
}

namespace palletry {

/**
 * The reply side of the service: plain text edits, on UTF-8, that turn a read
 * reply into the bare DataSet text. Every edit is exact, case-sensitive,
 * replaces every occurrence and is a single pass (inserted text is not searched
 * again), as if applied one after the other:
 *  - unescaping the result text: "&lt;" -> "<", "&gt;" -> ">",
 *    <?xml version="1.0"?> -> <?xml version="1.0" encoding="utf-8" ?>, then
 *    "&amp;" -> "&" (the whole chain is the inverse of the serialiser's escaping);
 *  - removing the reply's SOAP envelope and body tags and the utf-8 declaration;
 *  - removing the operation's response and result tags (for GetOrderDetails also
 *    the typed result tag and the empty result element).
 * None can fail; the empty text stays empty.
 */
namespace Unwrap {

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

/**
 * What ReturnWebserviceXML returns for the read reply @p reply, as UTF-8: the
 * serialised reply unescaped, with its envelope removed.
 * @p sizeHint: room to reserve for the serialised text (the reply's size).
 */
QByteArray replyText(const pugi::xml_document& reply, std::size_t sizeHint = 0);

/**
 * The DataSet text of the read reply @p reply of @p operation, as UTF-8: the
 * operation's unwrapper applied to replyText(reply), byte for byte, made in one
 * walk of the reply, one scan of its text and one compaction in place.
 */
QByteArray dataSetText(Operation operation, const pugi::xml_document& reply, std::size_t sizeHint = 0);

/**
 * The same text, cut out of @p bytes where it lies when @p reply was parsed from them in
 * place and its result is one text around which the envelope and the operation's tags
 * are removed whole (the service's replies): no copy is made, and @p bytes is taken
 * (left empty). Otherwise a copy as above, with @p bytes left as they were. @p reply is
 * spent either way: use it no more.
 */
QByteArray dataSetText(Operation operation, pugi::xml_document& reply, QByteArray& bytes);

/**
 * dataSetText(operation, reply, bytes) into @p text, then holdsDataSet(operation, text, rows),
 * with the same results. Where the text is cut out of @p bytes and the scan that reads its
 * rows meets no tag the operation's unwrapping removes (the service's answers), the
 * removal, which would remove nothing, is not run over the text. @p reply and @p bytes
 * are spent (let go before the rows are read).
 */
bool readDataSet(Operation operation, pugi::xml_document& reply, QByteArray& bytes, QByteArray& text,
                 std::shared_ptr<DataSetWalk::Document>& rows);
/**
 * The same for a reply loaded with its long text set aside (XmlText::loadSettingTextAside):
 * the rows are read where the text stands escaped, and @p text is left empty (the rows
 * hold what they read). Where they cannot be read so, false with @p aside set refused and
 * @p reply and @p bytes as they were: the reply is then to be loaded whole and read as above.
 */
bool readDataSet(Operation operation, pugi::xml_document& reply, QByteArray& bytes, QByteArray& text,
                 std::shared_ptr<DataSetWalk::Document>& rows, XmlText::SetAside& aside);

/**
 * Whether the DataSet text @p text of @p operation is one a loader can read: empty
 * (blank, or the operation's empty result element) when the service has nothing to
 * give, else one Root element holding a DataSet element, with no document type or
 * entity declaration. Plain text or any other element tree is no answer of the operation.
 */
bool holdsDataSet(Operation operation, const QByteArray& text);
/// As above; when the text was told by the scan that reads the rows, @p rows receives that scan, ready for a walk.
bool holdsDataSet(Operation operation, const QByteArray& text, std::shared_ptr<DataSetWalk::Document>& rows);

} // namespace Unwrap
} // namespace palletry
