#pragma once

#include <palletry_service/ReferenceService.h>

#include <map>
#include <string>
#include <vector>

// A SOAP client for the service tests, written apart from the service's own code: it builds
// requests the way the control does and reads replies with pugixml.
namespace servicetest {

inline const std::string NS = "http://tempuri.org/KLTVRouteLocations/Service1";

/// The fixed start of every reply: declaration, envelope start tag, body start tag.
inline const std::string ReplyStart =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><soap:Body>";
inline const std::string ReplyEnd = "</soap:Body></soap:Envelope>";

struct Reply {
    int status = 0;
    std::string body;
    std::string contentType;
};

using Row = std::map<std::string, std::string>;

/// The control's request envelope around an operation body.
std::string envelope(const std::string& operationBody);
/// POSTs body with the given SOAPAction header (none when soapAction is null).
Reply post(const palletry_service::ReferenceService& service, const char* soapAction, const std::string& body);
/// Calls op with the control's envelope and SOAPAction NS "/" op.
Reply call(const palletry_service::ReferenceService& service, const std::string& op, const std::string& operationBody);

/// `<Op xmlns="NS">` + inner + `</Op>`.
std::string body(const std::string& op, const std::string& inner);
/// `<Name>value</Name>`.
std::string element(const std::string& name, const std::string& value);

/// The text of the OpResult element of a reply: the DataSet document; fails the test when
/// the reply has no such element.
std::string resultText(const Reply& reply, const std::string& op);
/// The rows of a DataSet document, walked Root/DataSet/diffgr:diffgram/NewDataSet/Table.
std::vector<Row> rows(const std::string& dataSet);
/// Calls a read operation and returns its rows.
std::vector<Row> read(const palletry_service::ReferenceService& service, const std::string& op,
                      const std::string& inner);
/// faultcode and faultstring of a fault reply (empty texts when it is none).
std::pair<std::string, std::string> fault(const Reply& reply);

} // namespace servicetest
