// The reference service end to end: it starts, answers reads, applies writes, refuses bad
// requests with a SOAP fault without touching the data, and stops.
#include "ServiceTestClient.h"

#include <gtest/gtest.h>
#include <httplib.h>

using namespace servicetest;
using palletry_service::ReferenceService;

namespace {

bool onLoad(const ReferenceService& service, const std::string& order, Row* found = nullptr)
{
    for (const Row& row : read(service, "GetVendorHomeDeliverly", element("IncomingLoadID", "1001")))
        if (row.at("OrderID") == order) {
            if (found)
                *found = row;
            return true;
        }
    return false;
}

} // namespace

TEST(ServiceSmoke, ReadsWritesRefusesAndStops)
{
    ReferenceService service;
    ASSERT_TRUE(service.start());
    EXPECT_FALSE(service.start()); // already running
    EXPECT_EQ(service.url(), service.serverName() + "/WebServices/KLTVWebservice/KLTVWebservice.asmx");
    EXPECT_EQ(read(service, "GetVendorDataVendorMaster", "").size(), 36u);

    // A fresh order placed on the load, given a line-item detail, and removed again.
    const std::string fresh = "00000010151";
    const Reply added = call(service, "AddPO", body("AddPO", element("OrdersArray", element("string", fresh + ";1;1;1;1001;17;1;A;15;2"))));
    EXPECT_EQ(added.status, 200);
    EXPECT_EQ(added.body, ReplyStart + "<AddPOResponse xmlns=\"" + NS + "\" />" + ReplyEnd);
    Row row;
    ASSERT_TRUE(onLoad(service, fresh, &row));
    EXPECT_EQ(row.at("KLTV_OrderSegment"), "1");
    EXPECT_EQ(row.at("NumberParcels"), "17");

    const Reply detail = call(service, "AddPODetails",
                              body("AddPODetails", element("OrderID", fresh) + element("KLTV_OrderSegment", "1")
                                                       + element("LineItem", "1") + element("ReceivedDate", "x")
                                                       + element("QuantityReceived", "0") + element("UnitWeight", "12.5")
                                                       + element("PersonID", "15") + element("PersonType", "2")
                                                       + element("RecordLastUpdated", "x")
                                                       + element("UnloadedIndicator", "0")
                                                       + element("StorageIndicator", "0")));
    EXPECT_EQ(detail.status, 200) << detail.body;
    const std::string details = "SELECT UnitWeight FROM LineItemDetails WHERE OrderID = '" + fresh + "'";
    EXPECT_EQ(service.query(details), (palletry_service::QueryRows{{"12.5"}}));

    const Reply removed = call(service, "DeletePO", body("DeletePO", element("OrderID", fresh) + element("OrderSegment", "1")));
    EXPECT_EQ(removed.body, ReplyStart + "<DeletePOResponse xmlns=\"" + NS + "\" />" + ReplyEnd);
    EXPECT_FALSE(onLoad(service, fresh));
    EXPECT_TRUE(service.query(details).empty());

    // Refusals: HTTP 500, a SOAP fault whose faultstring stays well-formed, nothing changed.
    const auto snapshot = [&] { return service.query("SELECT * FROM OrderSegments ORDER BY 1, 2"); };
    const auto before = snapshot();
    struct Refusal
    {
        const char* soapAction;
        std::string body, code, text;
    };
    const Refusal refusals[] = {
        {"DeletePO", envelope(body("DeletePO", element("OrderID", "A&amp;B&lt;x&gt;") + element("OrderSegment", "1"))),
         "soap:Server", "Server was unable to process request. ---> Order 'A&B<x>' does not exist."},
        {"GetVendorIncomingLoad", "<soap:Envelope><soap:Body>", "soap:Client",
         "Server was unable to read request. ---> There is an error in XML document (1, "},
        {"GetEverything", envelope(body("GetVendorIncomingLoad", element("IncomingLoadID", "1001"))), "soap:Client",
         "Server did not recognize the value of HTTP Header SOAPAction: " + NS + "/GetEverything."},
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

    const std::uint16_t port = service.port();
    service.stop();
    EXPECT_EQ(service.port(), 0);
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(1, 0);
    EXPECT_FALSE(client.Post(palletry_service::ServicePath, "", "text/xml"));
}
