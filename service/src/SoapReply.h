#pragma once

#include <string>
#include <string_view>

namespace palletry_service {

/// The texts of the service's replies, framed as an ASMX service frames them: the XML
/// declaration with encoding utf-8, the envelope start tag declaring soap, xsi and xsd in
/// that order, then the body, all on one line.
class SoapReply {
public:
    /// Everything before the escaped DataSet of a read operation:
    /// declaration, envelope, body, `<OpResponse xmlns="NS">` and `<OpResult>`.
    static void appendResultStart(std::string& out, std::string_view operation);
    /// `</OpResult></OpResponse>` and the closing body and envelope.
    static void appendResultEnd(std::string& out, std::string_view operation);
    /// A read whose result is null: `<OpResult />` inside the response element.
    static std::string emptyResult(std::string_view operation);
    /// A write: `<OpResponse xmlns="NS" />`.
    static std::string writeDone(std::string_view operation);
    /// A SOAP 1.1 fault with faultcode, faultstring and an empty detail.
    static std::string fault(std::string_view faultCode, std::string_view faultString);

    /// Appends text escaped for XML character data (&, <, >).
    static void appendEscaped(std::string& out, std::string_view text);
};

} // namespace palletry_service
