#include "SoapReply.h"

#include "palletry_service/ReferenceService.h"

namespace palletry_service {

namespace {

constexpr std::string_view EnvelopeStart =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
    "<soap:Body>";
constexpr std::string_view EnvelopeEnd = "</soap:Body></soap:Envelope>";

void appendResponseStart(std::string& out, std::string_view operation, bool selfClosing)
{
    out += EnvelopeStart;
    out += '<';
    out += operation;
    out += "Response xmlns=\"";
    out += ServiceNamespace;
    out += selfClosing ? "\" />" : "\">";
}

} // namespace

void SoapReply::appendResultStart(std::string& out, std::string_view operation)
{
    appendResponseStart(out, operation, false);
    out += '<';
    out += operation;
    out += "Result>";
}

void SoapReply::appendResultEnd(std::string& out, std::string_view operation)
{
    out += "</";
    out += operation;
    out += "Result></";
    out += operation;
    out += "Response>";
    out += EnvelopeEnd;
}

std::string SoapReply::emptyResult(std::string_view operation)
{
    std::string out;
    appendResponseStart(out, operation, false);
    out += '<';
    out += operation;
    out += "Result /></";
    out += operation;
    out += "Response>";
    out += EnvelopeEnd;
    return out;
}

std::string SoapReply::writeDone(std::string_view operation)
{
    std::string out;
    appendResponseStart(out, operation, true);
    out += EnvelopeEnd;
    return out;
}

std::string SoapReply::fault(std::string_view faultCode, std::string_view faultString)
{
    std::string out(EnvelopeStart);
    out += "<soap:Fault><faultcode>";
    out += faultCode;
    out += "</faultcode><faultstring>";
    appendEscaped(out, faultString);
    out += "</faultstring><detail /></soap:Fault>";
    out += EnvelopeEnd;
    return out;
}

void SoapReply::appendEscaped(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
}

} // namespace palletry_service
