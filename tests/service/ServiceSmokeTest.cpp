// The reference service end to end: it starts, answers reads, refuses bad requests with a
// SOAP fault without touching the data, and stops. The control's flows drive its writes.
#include "ServiceTestClient.h"

#include <gtest/gtest.h>
#include <httplib.h>

using namespace servicetest;
using palletry_service::ReferenceService;

TEST(ServiceSmoke, StartsReadsRefusesAndStops)
{
    ReferenceService service;
    ASSERT_TRUE(service.start());
    EXPECT_FALSE(service.start()); // already running
    EXPECT_EQ(service.url(), service.serverName() + "/WebServices/KLTVWebservice/KLTVWebservice.asmx");
    EXPECT_EQ(read(service, "GetVendorDataVendorMaster", "").size(), 36u);
    // Refusals: HTTP 500, a SOAP fault whose faultstring stays well-formed, nothing changed.
    const auto snapshot = [&] { return service.query("SELECT * FROM OrderSegments ORDER BY 1, 2"); };
    const auto before = snapshot();
    struct Refusal
    {
        const char* soapAction;
        std::string body, code, text;
    };
    const std::string placed = element("OrderID", "00000010011") + element("OrderSegment", "2"), unread =
        "Server was unable to read request. ---> ", gone = element("OrderID", "99") + element("OrderSegment", "1");
    const Refusal refusals[] = {
        {"DeletePO", envelope(body("DeletePO", element("OrderID", "A&amp;B&lt;x&gt;") + element("OrderSegment", "1"))),
         "soap:Server", "Server was unable to process request. ---> Order 'A&B<x>' does not exist."},
        {"GetVendorIncomingLoad", "<soap:Envelope><soap:Body>", "soap:Client",
         "Server was unable to read request. ---> There is an error in XML document (1, "},
        {"GetEverything", envelope(body("GetVendorIncomingLoad", element("IncomingLoadID", "1001"))), "soap:Client",
         "Server did not recognize the value of HTTP Header SOAPAction: " + NS + "/GetEverything."},
        // One operation, one value each: what would run is not left to which element comes last.
        {"DeletePO", envelope(body("DeletePO", gone) + "</soap:Body><soap:Body>" + body("DeletePO", placed)), "soap:Client", unread},
        {"DeletePO", envelope(body("DeletePO", gone) + body("DeletePO", placed)), "soap:Client", unread},
        {"DeletePO", envelope(body("DeletePO", element("OrderID", "99") + placed)), "soap:Client", unread},
        {"DeletePO", envelope(body("DeletePO", element("OrderID", "0000001<b>x</b>0011") + element("OrderSegment", "2"))),
         "soap:Client", unread + "There is an error in XML document (1, "},
        {"AddPO", envelope(body("AddPO", "<OrdersArray><string>00000010001;1;1;4096;10<b />01;5;1;A;15;2</string></OrdersArray>")),
         "soap:Client", unread},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.soapAction);
        const Reply reply = post(service, (NS + "/" + r.soapAction).c_str(), r.body);
        EXPECT_EQ(reply.status, 500);
        EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8");
        EXPECT_EQ(fault(reply).first, r.code);
        EXPECT_EQ(fault(reply).second.rfind(r.text, 0), 0u) << fault(reply).second;
    }
    EXPECT_EQ(snapshot(), before);

    // Described as any ASMX service describes itself: a page naming the operations, and the WSDL.
    httplib::Client web("127.0.0.1", service.port());
    const auto page = web.Get(palletry_service::ServicePath);
    const auto wsdl = web.Get(std::string(palletry_service::ServicePath) + "?WSDL");
    ASSERT_TRUE(page && wsdl);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(wsdl->status, 200);
    pugi::xml_document description;
    ASSERT_TRUE(description.load_string(wsdl->body.c_str())) << wsdl->body.substr(0, 300);
    EXPECT_STREQ(description.document_element().attribute("targetNamespace").value(), NS.c_str());
    for (const char* op : {"GetVendorIncomingLoad", "GetVendorDataVendorMaster", "GetVendorHomeDeliverly",
                           "GetVendorOrdersAndCentersOnly", "GetOrderDetails", "GetVendorDetailsByOrderID",
                           "AddPODetails", "AddPO", "DeletePO"}) {
        EXPECT_NE(page->body.find(std::string(">") + op + "<"), std::string::npos) << op;
        EXPECT_NE(wsdl->body.find("soapAction=\"" + NS + "/" + op + "\""), std::string::npos) << op;
    }

    const std::uint16_t port = service.port();
    service.stop();
    EXPECT_EQ(service.port(), 0);
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(1, 0);
    EXPECT_FALSE(client.Post(palletry_service::ServicePath, "", "text/xml"));
}
