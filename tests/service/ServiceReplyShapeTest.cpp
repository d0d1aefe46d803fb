// Reply shapes of the read operations, byte for byte where the control cuts text.
#include "ServiceTestClient.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace servicetest;
using palletry_service::ReferenceService;

namespace {

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

const std::string Diffgram = "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\""
                             " xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"";

std::string schema(const std::vector<std::pair<std::string, std::string>>& columns)
{
    std::string s = "<xs:schema id=\"NewDataSet\" xmlns=\"\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\""
                    " xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\">"
                    "<xs:element name=\"NewDataSet\" msdata:IsDataSet=\"true\" msdata:UseCurrentLocale=\"true\">"
                    "<xs:complexType><xs:choice minOccurs=\"0\" maxOccurs=\"unbounded\">"
                    "<xs:element name=\"Table\"><xs:complexType><xs:sequence>";
    for (const auto& [name, type] : columns)
        s += "<xs:element name=\"" + name + "\" type=\"" + type + "\" minOccurs=\"0\" />";
    return s + "</xs:sequence></xs:complexType></xs:element></xs:choice></xs:complexType></xs:element></xs:schema>";
}

std::vector<std::string> columnNames(const std::vector<Row>& rows)
{
    std::vector<std::string> names;
    for (const auto& row : rows)
        for (const auto& [name, value] : row)
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

class ServiceReplyShape : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(service.start()); }
    ReferenceService service;
};

} // namespace

TEST_F(ServiceReplyShape, IncomingLoadReplyIsExactEnvelopeAroundEscapedDataSet)
{
    const Reply reply = call(service, "GetVendorIncomingLoad",
                             body("GetVendorIncomingLoad", "      " + element("IncomingLoadID", "1001")));
    const std::string dataSet =
        "<Root><DataSet>"
        + schema({{"IncomingLoadID", "xs:int"}, {"TruckNumber", "xs:string"}, {"LoadDate", "xs:dateTime"},
                  {"Driver", "xs:string"}})
        + Diffgram + "><NewDataSet>"
        + "<Table diffgr:id=\"Table1\" msdata:rowOrder=\"0\" diffgr:hasChanges=\"inserted\">"
          "<IncomingLoadID>1001</IncomingLoadID><TruckNumber>TRK-0417</TruckNumber>"
          "<LoadDate>2026-11-30T00:00:00+00:00</LoadDate><Driver>Swift &amp; Sure Freight</Driver></Table>"
          "</NewDataSet></diffgr:diffgram></DataSet></Root>";
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8");
    EXPECT_EQ(reply.body, ReplyStart + "<GetVendorIncomingLoadResponse xmlns=\"" + NS + "\"><GetVendorIncomingLoadResult>"
                              + escaped(dataSet) + "</GetVendorIncomingLoadResult></GetVendorIncomingLoadResponse>"
                              + ReplyEnd);
    // "&" is escaped once in the DataSet and once more on the wire.
    EXPECT_NE(reply.body.find("Swift &amp;amp; Sure Freight"), std::string::npos);
}

TEST_F(ServiceReplyShape, EveryReadFramesItsResultAndDeclaresTheColumnsItSends)
{
    const std::string order = "00000010011";
    struct Case {
        std::string op;
        std::string inner;
        std::vector<std::string> columns; // sorted
    };
    const std::vector<Case> cases = {
        {"GetVendorDataVendorMaster", "", {"Name", "VendorID"}},
        {"GetVendorHomeDeliverly",
         element("IncomingLoadID", "1001"),
         {"CenterID", "CenterName", "FreightGroup", "KLTV_OrderSegment", "MemberID", "NumberParcels", "OrderID",
          "PickupPostalCode", "VendorID"}},
        {"GetVendorOrdersAndCentersOnly",
         element("VendorID", "12") + element("IncomingLoadID", "1001"),
         {"CenterName", "OrderCenterID", "OrderID"}},
        {"GetOrderDetails",
         element("OrderID", order) + element("IncomingLoadID", "1001"),
         {"ItemDescription", "LineItem", "LoadSegment", "MaxSegment", "Model", "NumberOfCartonsForOrderLoad",
          "OrderID"}},
        {"GetVendorDetailsByOrderID",
         element("OrderID", order),
         {"CenterName", "FreightGroup", "MemberID", "OrderCenterID", "OrderID", "PostalCode", "VendorID",
          "VendorName"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        const Reply reply = call(service, c.op, c.inner.empty() ? "<" + c.op + " xmlns=\"" + NS + "\" />" : body(c.op, c.inner));
        ASSERT_EQ(reply.status, 200);
        const std::string start = ReplyStart + "<" + c.op + "Response xmlns=\"" + NS + "\"><" + c.op + "Result>";
        const std::string end = "</" + c.op + "Result></" + c.op + "Response>" + ReplyEnd;
        ASSERT_EQ(reply.body.compare(0, start.size(), start), 0) << reply.body.substr(0, 400);
        ASSERT_EQ(reply.body.compare(reply.body.size() - end.size(), end.size(), end), 0);
        const std::string dataSet = resultText(reply, c.op);
        // Inline schema first, beside the diffgram.
        EXPECT_EQ(dataSet.rfind("<Root><DataSet><xs:schema id=\"NewDataSet\"", 0), 0u);
        EXPECT_NE(dataSet.find("</xs:schema>" + Diffgram + "><NewDataSet><Table diffgr:id=\"Table1\" msdata:rowOrder=\"0\""
                               " diffgr:hasChanges=\"inserted\">"),
                  std::string::npos);
        const auto found = rows(dataSet);
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(columnNames(found), c.columns);
        for (const auto& column : c.columns)
            EXPECT_NE(dataSet.find("<xs:element name=\"" + column + "\""), std::string::npos) << column;
        if (found.size() > 1) {
            EXPECT_NE(dataSet.find("<Table diffgr:id=\"Table2\" msdata:rowOrder=\"1\" diffgr:hasChanges=\"inserted\">"),
                      std::string::npos);
        }
    }
}

TEST_F(ServiceReplyShape, NullValuesAreLeftOutAndMarkupInValuesIsEscapedTwice)
{
    const auto vendors = read(service, "GetVendorDataVendorMaster", "");
    ASSERT_EQ(vendors.size(), 36u);
    const auto nameless = std::find_if(vendors.begin(), vendors.end(), [](const Row& r) { return !r.count("Name"); });
    ASSERT_NE(nameless, vendors.end());
    EXPECT_EQ(nameless->at("VendorID"), "999");
    const auto odd = std::find_if(vendors.begin(), vendors.end(), [](const Row& r) { return r.at("VendorID") == "7"; });
    ASSERT_NE(odd, vendors.end());
    EXPECT_EQ(odd->at("Name"), "A<B Trading");

    const Reply raw = call(service, "GetVendorDataVendorMaster", "<GetVendorDataVendorMaster xmlns=\"" + NS + "\" />");
    EXPECT_NE(raw.body.find("&lt;Name&gt;A&amp;lt;B Trading&lt;/Name&gt;"), std::string::npos);
    EXPECT_NE(raw.body.find("&lt;VendorID&gt;999&lt;/VendorID&gt;&lt;/Table&gt;"), std::string::npos);

    // The empty load has no carrier: Driver is absent, the others are there.
    const auto header = read(service, "GetVendorIncomingLoad", element("IncomingLoadID", "1004"));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].count("Driver"), 0u);
    EXPECT_EQ(header[0].at("LoadDate"), "2026-12-07T00:00:00+00:00");
}

TEST_F(ServiceReplyShape, ResultsWithoutRowsKeepTheSchemaExceptOrderDetailsWhichIsNull)
{
    const Reply empty = call(service, "GetVendorHomeDeliverly",
                             body("GetVendorHomeDeliverly", element("IncomingLoadID", std::to_string(service.emptyLoadId()))));
    ASSERT_EQ(empty.status, 200);
    const std::string dataSet = resultText(empty, "GetVendorHomeDeliverly");
    EXPECT_NE(dataSet.find("</xs:schema>" + Diffgram + " /></DataSet></Root>"), std::string::npos) << dataSet;
    EXPECT_TRUE(rows(dataSet).empty());

    EXPECT_TRUE(read(service, "GetVendorIncomingLoad", element("IncomingLoadID", "4242")).empty());
    EXPECT_TRUE(read(service, "GetVendorDetailsByOrderID", element("OrderID", "99999999999")).empty());

    for (const std::string order : {"99999999999", ""}) {
        const Reply none = call(service, "GetOrderDetails",
                                body("GetOrderDetails", element("OrderID", order) + element("IncomingLoadID", "1001")));
        EXPECT_EQ(none.status, 200);
        EXPECT_EQ(none.body, ReplyStart + "<GetOrderDetailsResponse xmlns=\"" + NS
                                 + "\"><GetOrderDetailsResult /></GetOrderDetailsResponse>" + ReplyEnd);
    }
}

TEST_F(ServiceReplyShape, OrderDetailsReportSegmentsOfTheOrderAndOfTheLoad)
{
    // 00000010019 came in three parts: segment 1 on load 1002, 2 on 1003, 3 on 1001.
    const std::string order = "00000010019";
    const auto cartons = service.query("SELECT IncomingLoadID, NumberOfCartons FROM OrderSegments WHERE OrderID = '"
                                       + order + "' ORDER BY Segment");
    ASSERT_EQ(cartons.size(), 3u);
    const auto lines = service.query("SELECT LineItem FROM LineItems WHERE OrderID = '" + order + "' ORDER BY LineItem");
    struct Case {
        std::string load, loadSegment, cartons;
    };
    for (const Case& c : {Case{"1002", "1", cartons[0][1]}, Case{"1003", "2", cartons[1][1]},
                          Case{"1001", "3", cartons[2][1]}, Case{"1004", "0", "0"}, Case{"0", "0", "0"}}) {
        SCOPED_TRACE(c.load);
        const auto found = read(service, "GetOrderDetails", element("OrderID", order) + element("IncomingLoadID", c.load));
        ASSERT_EQ(found.size(), lines.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].at("OrderID"), order);
            EXPECT_EQ(found[i].at("LineItem"), lines[i][0]);
            EXPECT_EQ(found[i].at("MaxSegment"), "3");
            EXPECT_EQ(found[i].at("LoadSegment"), c.loadSegment);
            EXPECT_EQ(found[i].at("NumberOfCartonsForOrderLoad"), c.cartons);
        }
    }
    const auto never = read(service, "GetOrderDetails", element("OrderID", "00000010201") + element("IncomingLoadID", "1001"));
    ASSERT_FALSE(never.empty());
    EXPECT_EQ(never[0].at("MaxSegment"), "0");
    EXPECT_EQ(never[0].at("LoadSegment"), "0");
}

TEST_F(ServiceReplyShape, HomeDeliverlyListsEveryOrderOnTheLoadWithItsSegmentAndCartons)
{
    const auto onLoad = read(service, "GetVendorHomeDeliverly", element("IncomingLoadID", "1001"));
    const auto expected = service.query(
        "SELECT s.OrderID, s.Segment, s.NumberOfCartons, o.VendorID, o.CenterID, c.CenterName FROM OrderSegments s"
        " JOIN Orders o USING (OrderID) JOIN Centers c USING (CenterID) WHERE s.IncomingLoadID = 1001 ORDER BY s.OrderID");
    ASSERT_EQ(onLoad.size(), expected.size());
    ASSERT_GT(onLoad.size(), 40u);
    for (std::size_t i = 0; i < onLoad.size(); ++i) {
        EXPECT_EQ(onLoad[i].at("OrderID"), expected[i][0]);
        EXPECT_EQ(onLoad[i].at("KLTV_OrderSegment"), expected[i][1]);
        EXPECT_EQ(onLoad[i].at("NumberParcels"), expected[i][2]);
        EXPECT_EQ(onLoad[i].at("VendorID"), expected[i][3]);
        EXPECT_EQ(onLoad[i].at("CenterID"), expected[i][4]);
        EXPECT_EQ(onLoad[i].at("CenterName"), expected[i][5]);
    }
    const auto legacy = std::find_if(onLoad.begin(), onLoad.end(), [](const Row& r) { return r.at("OrderID") == "7001"; });
    EXPECT_NE(legacy, onLoad.end());
}

TEST_F(ServiceReplyShape, VendorOrdersAreTheOpenOnesNotOnTheLoad)
{
    const auto open = read(service, "GetVendorOrdersAndCentersOnly", element("VendorID", "12") + element("IncomingLoadID", "1001"));
    const auto expected = service.query(
        "SELECT OrderID FROM Orders o WHERE VendorID = 12 AND IsOpen = 1 AND OrderID NOT IN"
        " (SELECT OrderID FROM OrderSegments WHERE IncomingLoadID = 1001) ORDER BY OrderID");
    ASSERT_EQ(open.size(), expected.size());
    for (std::size_t i = 0; i < open.size(); ++i)
        EXPECT_EQ(open[i].at("OrderID"), expected[i][0]);
    // The vendor's legacy PO is on load 1001, so it is offered for the empty load only.
    EXPECT_TRUE(std::none_of(open.begin(), open.end(), [](const Row& r) { return r.at("OrderID") == "7001"; }));
    const auto forEmpty = read(service, "GetVendorOrdersAndCentersOnly", element("VendorID", "12") + element("IncomingLoadID", "1004"));
    EXPECT_TRUE(std::any_of(forEmpty.begin(), forEmpty.end(), [](const Row& r) { return r.at("OrderID") == "7001"; }));
    EXPECT_GT(forEmpty.size(), open.size());
}

TEST_F(ServiceReplyShape, DemoDataSortsDifferentlyAsTextAndHoldsMarkupCharacters)
{
    const auto vendors = service.query("SELECT VendorID FROM Vendors");
    std::vector<std::string> ids;
    for (const auto& r : vendors)
        ids.push_back(r[0]);
    auto asText = ids;
    std::sort(asText.begin(), asText.end());
    auto asNumber = ids;
    std::sort(asNumber.begin(), asNumber.end(), [](const std::string& a, const std::string& b) { return std::stol(a) < std::stol(b); });
    EXPECT_NE(asText, asNumber);
    EXPECT_EQ(service.query("SELECT COUNT(*) FROM Orders WHERE length(OrderID) <> 11")[0][0], "1");
    EXPECT_EQ(service.query("SELECT COUNT(*) FROM Orders WHERE OrderID < '7001' AND CAST(OrderID AS INTEGER) > 7001")[0][0],
              service.query("SELECT COUNT(*) - 1 FROM Orders")[0][0]);
    EXPECT_GE(std::stoi(service.query("SELECT COUNT(*) FROM (SELECT OrderID FROM OrderSegments GROUP BY OrderID"
                                      " HAVING COUNT(*) > 1)")[0][0]), 5);
    EXPECT_EQ(service.query("SELECT COUNT(*) FROM OrderSegments WHERE IncomingLoadID = 1004")[0][0], "0");
    EXPECT_NE(service.query("SELECT COUNT(*) FROM LineItems WHERE ItemDescription LIKE '%<%'")[0][0], "0");
    EXPECT_NE(service.query("SELECT COUNT(*) FROM Centers WHERE CenterName LIKE '%&%'")[0][0], "0");
    EXPECT_EQ(service.query("SELECT MIN(n), MAX(n) FROM (SELECT COUNT(*) n FROM LineItems GROUP BY OrderID)")[0],
              (std::vector<std::string>{"1", "8"}));
}
