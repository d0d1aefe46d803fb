#pragma once

#include <palletry_service/ReferenceService.h>

#include <gtest/gtest.h>
#include <httplib.h>
#include <pugixml.hpp>

#include <map>
#include <string>
#include <vector>

// A SOAP client for the service tests, written apart from the service's own code: it builds
// requests the way the control does and reads replies with pugixml.
namespace servicetest {

inline const std::string NS = "http://tempuri.org/KLTVRouteLocations/Service1";

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

inline std::string envelope(const std::string& operationBody)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
           " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
           "  <soap:Body>    "
           + operationBody + "   </soap:Body> </soap:Envelope>";
}

inline Reply post(const palletry_service::ReferenceService& service, const char* soapAction, const std::string& body,
                  int timeoutSeconds = 30)
{
    httplib::Client client("127.0.0.1", service.port());
    client.set_read_timeout(timeoutSeconds, 0);
    httplib::Headers headers;
    if (soapAction)
        headers.emplace("SOAPAction", soapAction);
    const auto result = client.Post(palletry_service::ServicePath, headers, body, "text/xml; charset=utf-8");
    Reply reply;
    if (!result) {
        ADD_FAILURE() << "no reply: " << httplib::to_string(result.error());
        return reply;
    }
    reply.status = result->status;
    reply.body = result->body;
    reply.contentType = result->get_header_value("Content-Type");
    return reply;
}

/// The operation element, empty as the control writes it when it has no parameters.
inline std::string body(const std::string& op, const std::string& inner)
{
    const std::string start = "<" + op + " xmlns=\"" + NS + "\"";
    return inner.empty() ? start + " />" : start + ">" + inner + "</" + op + ">";
}

inline Reply call(const palletry_service::ReferenceService& service, const std::string& op, const std::string& inner)
{
    return post(service, (NS + "/" + op).c_str(), envelope(body(op, inner)));
}

inline std::string element(const std::string& name, const std::string& value)
{
    return "<" + name + ">" + value + "</" + name + ">";
}

inline std::string resultText(const Reply& reply, const std::string& op)
{
    pugi::xml_document document;
    document.load_string(reply.body.c_str());
    const pugi::xml_node result = document.child("soap:Envelope").child("soap:Body").child((op + "Response").c_str());
    EXPECT_TRUE(result.child((op + "Result").c_str())) << "no " << op << "Result in " << reply.body.substr(0, 300);
    return result.child((op + "Result").c_str()).text().get();
}

inline std::vector<Row> rows(const std::string& dataSet)
{
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(dataSet.c_str())) << "DataSet is not XML: " << dataSet.substr(0, 300);
    std::vector<Row> result;
    for (pugi::xml_node table :
         document.child("Root").child("DataSet").child("diffgr:diffgram").child("NewDataSet").children("Table")) {
        Row& row = result.emplace_back();
        for (pugi::xml_node column : table.children())
            row[column.name()] = column.text().get();
    }
    return result;
}

inline std::vector<Row> read(const palletry_service::ReferenceService& service, const std::string& op,
                      const std::string& inner)
{
    const Reply reply = call(service, op, inner);
    EXPECT_EQ(reply.status, 200) << reply.body;
    return rows(resultText(reply, op));
}

inline std::pair<std::string, std::string> fault(const Reply& reply)
{
    pugi::xml_document document;
    document.load_string(reply.body.c_str());
    const pugi::xml_node f = document.child("soap:Envelope").child("soap:Body").child("soap:Fault");
    return {f.child("faultcode").text().get(), f.child("faultstring").text().get()};
}

} // namespace servicetest
