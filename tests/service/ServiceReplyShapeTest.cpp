// Reply shapes of the read operations, byte for byte where the control cuts text.
#include "ServiceTestClient.h"

#include <gtest/gtest.h>

#include <set>

using namespace servicetest;
using palletry_service::ReferenceService;

namespace {

const std::string Diffgram = "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\""
                             " xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"";

class ServiceReplyShape : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(service.start()); }
    ReferenceService service;
};

} // namespace

TEST_F(ServiceReplyShape, EveryReadFramesItsResultAndDeclaresTheColumnsItSends)
{
    const std::string order = "00000010011";
    struct Case {
        std::string op;
        std::string inner;
        std::vector<std::string> columns; // sorted
    };
    const std::vector<Case> cases = {
        {"GetVendorIncomingLoad", element("IncomingLoadID", "1001"), {"Driver", "IncomingLoadID", "LoadDate", "TruckNumber"}},
        {"GetVendorDataVendorMaster", "", {"Name", "VendorID"}},
        {"GetVendorHomeDeliverly", element("IncomingLoadID", "1001"),
         {"CenterID", "CenterName", "FreightGroup", "KLTV_OrderSegment", "MemberID", "NumberParcels", "OrderID",
          "PickupPostalCode", "VendorID"}},
        {"GetVendorOrdersAndCentersOnly", element("VendorID", "12") + element("IncomingLoadID", "1001"),
         {"CenterName", "OrderCenterID", "OrderID"}},
        {"GetOrderDetails", element("OrderID", order) + element("IncomingLoadID", "1001"),
         {"ItemDescription", "LineItem", "LoadSegment", "MaxSegment", "Model", "NumberOfCartonsForOrderLoad", "OrderID"}},
        {"GetVendorDetailsByOrderID", element("OrderID", order),
         {"CenterName", "FreightGroup", "MemberID", "OrderCenterID", "OrderID", "PostalCode", "VendorID", "VendorName"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        const Reply reply = call(service, c.op, c.inner);
        ASSERT_EQ(reply.status, 200);
        EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8");
        const std::string start = ReplyStart + "<" + c.op + "Response xmlns=\"" + NS + "\"><" + c.op + "Result>";
        const std::string end = "</" + c.op + "Result></" + c.op + "Response>" + ReplyEnd;
        ASSERT_EQ(reply.body.compare(0, start.size(), start), 0) << reply.body.substr(0, 400);
        ASSERT_EQ(reply.body.compare(reply.body.size() - end.size(), end.size(), end), 0);
        // Inline schema first, beside the diffgram.
        const std::string dataSet = resultText(reply, c.op);
        EXPECT_EQ(dataSet.rfind("<Root><DataSet><xs:schema id=\"NewDataSet\"", 0), 0u);
        EXPECT_NE(dataSet.find("</xs:schema>" + Diffgram + "><NewDataSet><Table diffgr:id=\"Table1\" msdata:rowOrder=\"0\""
                               " diffgr:hasChanges=\"inserted\">"),
                  std::string::npos);
        const auto found = rows(dataSet);
        ASSERT_FALSE(found.empty());
        std::set<std::string> names;
        for (const auto& row : found)
            for (const auto& [name, value] : row)
                names.insert(name);
        EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()), c.columns);
        for (const auto& column : c.columns)
            EXPECT_NE(dataSet.find("<xs:element name=\"" + column + "\""), std::string::npos) << column;
    }
}

TEST_F(ServiceReplyShape, NullsAreLeftOutAndEmptyResultsKeepTheSchemaExceptOrderDetails)
{
    const Reply empty = call(service, "GetVendorHomeDeliverly", element("IncomingLoadID", std::to_string(service.emptyLoadId())));
    const std::string dataSet = resultText(empty, "GetVendorHomeDeliverly");
    EXPECT_NE(dataSet.find("</xs:schema>" + Diffgram + " /></DataSet></Root>"), std::string::npos) << dataSet;
    EXPECT_TRUE(rows(dataSet).empty());
    EXPECT_TRUE(read(service, "GetVendorIncomingLoad", element("IncomingLoadID", "4242")).empty());
    // A null is left out: the empty load has no carrier.
    const auto header = read(service, "GetVendorIncomingLoad", element("IncomingLoadID", "1004"));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].count("Driver"), 0u);
    EXPECT_EQ(header[0].at("LoadDate"), "2026-12-07T00:00:00+00:00");
    for (const std::string order : {"99999999999", ""}) {
        const Reply none = call(service, "GetOrderDetails", element("OrderID", order) + element("IncomingLoadID", "1001"));
        EXPECT_EQ(none.status, 200);
        EXPECT_EQ(none.body, ReplyStart + "<GetOrderDetailsResponse xmlns=\"" + NS
                                 + "\"><GetOrderDetailsResult /></GetOrderDetailsResponse>" + ReplyEnd);
    }
}
