// What the service refuses: HTTP 500 with a SOAP 1.1 fault, and no change to the data.
#include "ServiceTestClient.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace servicetest;
using palletry_service::ReferenceService;

namespace {

struct FaultCase {
    const char* what;
    std::string soapAction; // "-" sends no header
    std::string body;
    std::string faultCode;
    std::string faultText; // part of the faultstring
};

std::string action(const std::string& op)
{
    return NS + "/" + op;
}

std::string deletePO(const std::string& order, const std::string& segment)
{
    return envelope(body("DeletePO", element("OrderID", order) + element("OrderSegment", segment)));
}

std::string addPODetails(const std::string& order, const std::string& segment, const std::string& line,
                         const std::string& weight)
{
    return envelope(body("AddPODetails", element("OrderID", order) + element("KLTV_OrderSegment", segment)
                                             + element("LineItem", line) + element("ReceivedDate", "x")
                                             + element("QuantityReceived", "0") + element("UnitWeight", weight)
                                             + element("PersonID", "1") + element("PersonType", "2")
                                             + element("RecordLastUpdated", "x") + element("UnloadedIndicator", "0")
                                             + element("StorageIndicator", "0")));
}

std::string incomingLoad(const std::string& load)
{
    return envelope(body("GetVendorIncomingLoad", element("IncomingLoadID", load)));
}

const std::string Unreadable = "Server was unable to read request. ---> ";
const std::string Unprocessable = "Server was unable to process request. ---> ";

std::vector<FaultCase> cases()
{
    const std::string on1001 = "00000010031"; // segment 1 on load 1001
    return {
        {"empty body", action("GetVendorIncomingLoad"), "", "soap:Client", Unreadable + "There is an error in XML document (0, 0). ---> Root element is missing."},
        {"malformed body", action("GetVendorIncomingLoad"), "<soap:Envelope><soap:Body>", "soap:Client", Unreadable + "There is an error in XML document (1, "},
        {"value holding &", action("GetOrderDetails"), envelope(body("GetOrderDetails", element("OrderID", "A&B"))), "soap:Client", Unreadable},
        {"not an envelope", action("GetVendorIncomingLoad"), "<GetVendorIncomingLoad xmlns=\"" + NS + "\"/>", "soap:Client", "not a SOAP 1.1 Envelope"},
        {"envelope of another SOAP version", action("GetVendorIncomingLoad"),
         "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"><s:Body/></s:Envelope>", "soap:Client", "not a SOAP 1.1 Envelope"},
        {"empty soap body", action("GetVendorIncomingLoad"), envelope(""), "soap:Client", "no operation element"},
        {"unknown SOAPAction", action("GetEverything"), incomingLoad("1001"), "soap:Client",
         "Server did not recognize the value of HTTP Header SOAPAction: " + action("GetEverything") + "."},
        {"SOAPAction of another service", "http://example.org/GetVendorIncomingLoad", incomingLoad("1001"), "soap:Client", "did not recognize"},
        {"no SOAPAction", "-", incomingLoad("1001"), "soap:Client", "Server did not recognize the value of HTTP Header SOAPAction: ."},
        {"SOAPAction disagreeing with body", action("DeletePO"), incomingLoad("1001"), "soap:Client",
         Unreadable + "The SOAPAction names DeletePO but the body holds <GetVendorIncomingLoad"},
        {"operation in another namespace", action("GetVendorIncomingLoad"),
         envelope("<GetVendorIncomingLoad xmlns=\"http://example.org/\"><IncomingLoadID>1</IncomingLoadID></GetVendorIncomingLoad>"),
         "soap:Client", "The SOAPAction names GetVendorIncomingLoad but the body holds"},
        {"text for an int", action("GetVendorIncomingLoad"), incomingLoad("abc"), "soap:Client", "Input string was not in a correct format."},
        {"empty int", action("GetVendorIncomingLoad"), incomingLoad(""), "soap:Client", "Input string was not in a correct format."},
        {"int out of range", action("GetVendorIncomingLoad"), incomingLoad("2147483648"), "soap:Client", "Input string was not in a correct format."},
        {"fraction for an int", action("DeletePO"), deletePO(on1001, "1.5"), "soap:Client", "Input string was not in a correct format."},
        {"comma decimal for a double", action("AddPODetails"), addPODetails(on1001, "1", "1", "12,5"), "soap:Client", "Input string"},
        {"unknown order (DeletePO)", action("DeletePO"), deletePO("00000099999", "1"), "soap:Server", Unprocessable + "Order '00000099999' does not exist."},
        {"unknown segment (DeletePO)", action("DeletePO"), deletePO(on1001, "2"), "soap:Server", Unprocessable + "Order '00000010031' has no segment 2."},
        {"unknown order (AddPODetails)", action("AddPODetails"), addPODetails("00000099999", "1", "1", "1"), "soap:Server", "does not exist"},
        {"unknown segment (AddPODetails)", action("AddPODetails"), addPODetails(on1001, "0", "1", "1"), "soap:Server", "has no segment 0"},
        {"unknown line item", action("AddPODetails"), addPODetails(on1001, "1", "99", "1"), "soap:Server", "has no line item 99"},
        {"unknown order (AddPO)", action("AddPO"), envelope(addPOBody({"00000099999;1;1;1;1001;5;1;A;1;2"})), "soap:Server", "Order '00000099999' does not exist."},
        {"order already on the load", action("AddPO"), envelope(addPOBody({on1001 + ";1;1;1;1001;5;1;A;1;2"})), "soap:Server",
         "Order '00000010031' is already on load 1001 as segment 1."},
        {"unknown load", action("AddPO"), envelope(addPOBody({"00000010151;1;1;1;4242;5;1;A;1;2"})), "soap:Server", "Load 4242 does not exist."},
        {"entry of nine fields", action("AddPO"), envelope(addPOBody({"00000010151;1;1;1;1001;5;1;A;1"})), "soap:Server", "does not hold ten fields"},
        {"entry with a ';' in a value", action("AddPO"), envelope(addPOBody({"00000010151;1;1;1;1001;5;1;A;B;1;2"})), "soap:Server", "does not hold ten fields"},
        {"carton count not a number", action("AddPO"), envelope(addPOBody({"00000010151;1;1;1;1001;many;1;A;1;2"})), "soap:Server", "Input string was not in a correct format."},
    };
}

} // namespace

TEST(ServiceFaults, EachRefusalIsA500FaultAndChangesNothing)
{
    ReferenceService service;
    ASSERT_TRUE(service.start());
    const auto snapshot = [&] {
        return service.query("SELECT OrderID, Segment, IncomingLoadID, NumberOfCartons FROM OrderSegments ORDER BY 1, 2");
    };
    const auto detailsCount = [&] { return service.query("SELECT COUNT(*) FROM LineItemDetails")[0][0]; };
    const auto segmentsBefore = snapshot();
    const auto detailsBefore = detailsCount();

    for (const FaultCase& c : cases()) {
        SCOPED_TRACE(c.what);
        const Reply reply = post(service, c.soapAction == "-" ? nullptr : c.soapAction.c_str(), c.body);
        EXPECT_EQ(reply.status, 500);
        EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8");
        EXPECT_EQ(reply.body.rfind(ReplyStart + "<soap:Fault><faultcode>" + c.faultCode + "</faultcode><faultstring>", 0), 0u)
            << reply.body;
        EXPECT_NE(reply.body.find("</faultstring><detail /></soap:Fault>" + ReplyEnd), std::string::npos);
        const auto [code, text] = fault(reply);
        EXPECT_EQ(code, c.faultCode);
        EXPECT_NE(text.find(c.faultText), std::string::npos) << text;
    }
    EXPECT_EQ(snapshot(), segmentsBefore);
    EXPECT_EQ(detailsCount(), detailsBefore);
    const auto recorded = service.requests();
    ASSERT_EQ(recorded.size(), cases().size());
    EXPECT_TRUE(std::all_of(recorded.begin(), recorded.end(), [](const auto& r) { return r.status == 500; }));
}

TEST(ServiceFaults, FaultStringsAreEscaped)
{
    ReferenceService service;
    ASSERT_TRUE(service.start());
    const Reply reply = post(service, action("DeletePO").c_str(), deletePO("A&amp;B&lt;x&gt;", "1"));
    // The unknown order id is quoted in the faultstring, which stays well-formed XML.
    EXPECT_EQ(reply.status, 500);
    EXPECT_NE(reply.body.find("Order 'A&amp;B&lt;x&gt;' does not exist."), std::string::npos);
    EXPECT_EQ(fault(reply).second, Unprocessable + "Order 'A&B<x>' does not exist.");
}
