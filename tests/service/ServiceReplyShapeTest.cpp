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
