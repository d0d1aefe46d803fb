#include "ServiceRig.h"

#include "soap/ServiceNamespace.h"

namespace palletry::test {

void pointAt(ControlState& state, const LoopbackHttpServer& server)
{
    state.ServiceUrl = server.url();
}

void pointAt(ServiceRequests& requests, const LoopbackHttpServer& server)
{
    requests.setService(server.url(), QLatin1String(ServiceNamespace) + QLatin1Char('/'));
}

ServiceRig::ServiceRig()
{
    pointAt(state, server);
    pointAt(requests, server);
}

void ServiceRig::useShortLimits(qint64 totalTimeoutMs)
{
    HttpLimits limits;
    limits.connectTimeoutMs = totalTimeoutMs;
    limits.totalTimeoutMs = totalTimeoutMs;
    call.setLimits(limits);
}

std::string soapReply(const std::string& bodyContent)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\r\n"
           "  <soap:Body>\r\n    "
        + bodyContent
        + "\r\n  </soap:Body>\r\n"
          "</soap:Envelope>";
}

std::string writeReply(const std::string& operation)
{
    return soapReply("<" + operation + "Response xmlns=\"" + ServiceNamespace + "\" />");
}

std::string soapFaultReply(const std::string& faultString)
{
    return soapReply("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>" + escapeText(faultString)
                     + "</faultstring><detail /></soap:Fault>");
}

std::string operationReply(const std::string& operation, const std::string& resultText)
{
    return soapReply("<" + operation + "Response xmlns=\"" + ServiceNamespace + "\">\r\n      <" + operation
                     + "Result>" + escapeText(resultText) + "</" + operation + "Result>\r\n    </" + operation
                     + "Response>");
}

std::string escapeText(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    return out;
}

std::string dataSetText(const std::vector<DataSetRow>& rows)
{
    std::string text =
        "<Root><DataSet><xs:schema id=\"NewDataSet\" xmlns=\"\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\"><xs:element name=\"NewDataSet\" "
        "msdata:IsDataSet=\"true\" /></xs:schema><diffgr:diffgram "
        "xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\" "
        "xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"><NewDataSet>";
    for (std::size_t n = 1; n <= rows.size(); ++n) {
        text += "<Table diffgr:id=\"Table" + std::to_string(n) + "\" msdata:rowOrder=\"" + std::to_string(n - 1)
            + "\" diffgr:hasChanges=\"inserted\">";
        for (const auto& [name, value] : rows[n - 1])
            text += "<" + name + ">" + escapeText(value) + "</" + name + ">";
        text += "</Table>";
    }
    return text + "</NewDataSet></diffgr:diffgram></DataSet></Root>";
}

} // namespace palletry::test
