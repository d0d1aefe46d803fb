// Writes and the reads that follow them: segments, line-item details, removal.
#include "ServiceTestClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using namespace servicetest;
using palletry_service::ReferenceService;

namespace {

class ServiceWrites : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(service.start()); }

    // The orders-array entry the control builds from GetVendorDetailsByOrderID.
    std::string entry(const std::string& order, int load, int cartons)
    {
        const auto row = read(service, "GetVendorDetailsByOrderID", element("OrderID", order));
        EXPECT_EQ(row.size(), 1u);
        if (row.empty())
            return {};
        auto value = [&](const char* c) { return row[0].count(c) ? row[0].at(c) : std::string(); };
        return order + ";" + value("MemberID") + ";" + value("OrderCenterID") + ";" + value("VendorID") + ";"
               + std::to_string(load) + ";" + std::to_string(cartons) + ";" + value("PostalCode") + ";"
               + value("FreightGroup") + ";15;2";
    }

    std::vector<Row> onLoad(int load)
    {
        return read(service, "GetVendorHomeDeliverly", element("IncomingLoadID", std::to_string(load)));
    }

    static std::optional<Row> find(const std::vector<Row>& rows, const std::string& order)
    {
        const auto it = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.at("OrderID") == order; });
        return it == rows.end() ? std::nullopt : std::optional<Row>(*it);
    }

    std::string detailsBody(const std::string& order, const std::string& segment, const std::string& line,
                            const std::string& weight)
    {
        return body("AddPODetails", element("OrderID", order) + element("KLTV_OrderSegment", segment)
                                        + element("LineItem", line) + element("ReceivedDate", "11/30/2026 2:05:07 PM")
                                        + element("QuantityReceived", "0") + element("UnitWeight", weight)
                                        + element("PersonID", "15") + element("PersonType", "2")
                                        + element("RecordLastUpdated", "11/30/2026 2:05:07 PM")
                                        + element("UnloadedIndicator", "0") + element("StorageIndicator", "0"));
    }

    ReferenceService service;
};

} // namespace

TEST_F(ServiceWrites, AddPOPlacesTheOrderUnderItsNextSegment)
{
    const std::string fresh = "00000010151"; // never placed
    const Reply added = call(service, "AddPO", addPOBody({entry(fresh, 1001, 17)}));
    EXPECT_EQ(added.status, 200);
    EXPECT_EQ(added.body, ReplyStart + "<AddPOResponse xmlns=\"" + NS + "\" />" + ReplyEnd);

    const auto row = find(onLoad(1001), fresh);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->at("KLTV_OrderSegment"), "1");
    EXPECT_EQ(row->at("NumberParcels"), "17");
    const auto details = read(service, "GetOrderDetails", element("OrderID", fresh) + element("IncomingLoadID", "1001"));
    ASSERT_FALSE(details.empty());
    EXPECT_EQ(details[0].at("MaxSegment"), "1");
    EXPECT_EQ(details[0].at("LoadSegment"), "1");
    EXPECT_EQ(details[0].at("NumberOfCartonsForOrderLoad"), "17");
    // It is no longer offered to this load.
    const std::string vendor = service.query("SELECT VendorID FROM Orders WHERE OrderID = '" + fresh + "'")[0][0];
    const auto open = read(service, "GetVendorOrdersAndCentersOnly", element("VendorID", vendor) + element("IncomingLoadID", "1001"));
    EXPECT_FALSE(find(open, fresh));

    // An order delivered in two parts already gets segment 3 on the next load.
    const std::string split = "00000010011";
    EXPECT_EQ(call(service, "AddPO", addPOBody({entry(split, 1004, 5)})).status, 200);
    const auto third = find(onLoad(1004), split);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->at("KLTV_OrderSegment"), "3");
    const auto after = read(service, "GetOrderDetails", element("OrderID", split) + element("IncomingLoadID", "1001"));
    EXPECT_EQ(after[0].at("MaxSegment"), "3");
    EXPECT_EQ(after[0].at("LoadSegment"), "2");
}

TEST_F(ServiceWrites, AddPOTakesAllEntriesOrNone)
{
    const std::string a = "00000010161", b = "00000010162", onIt = "00000010031";
    EXPECT_EQ(call(service, "AddPO", addPOBody({entry(a, 1004, 1), entry(b, 1004, 2)})).status, 200);
    EXPECT_EQ(onLoad(1004).size(), 2u);

    const std::string c = "00000010163";
    const Reply refused = call(service, "AddPO", addPOBody({entry(c, 1001, 3), entry(onIt, 1001, 4)}));
    EXPECT_EQ(refused.status, 500);
    EXPECT_EQ(fault(refused).first, "soap:Server");
    EXPECT_NE(fault(refused).second.find("'00000010031' is already on load 1001"), std::string::npos) << fault(refused).second;
    EXPECT_FALSE(find(onLoad(1001), c));
}

TEST_F(ServiceWrites, AddPODetailsRecordsAndReplacesALineItem)
{
    const std::string order = "00000010031"; // segment 1 on load 1001
    const Reply saved = call(service, "AddPODetails", detailsBody(order, "1", "1", "12.5"));
    EXPECT_EQ(saved.status, 200);
    EXPECT_EQ(saved.body, ReplyStart + "<AddPODetailsResponse xmlns=\"" + NS + "\" />" + ReplyEnd);
    const std::string select = "SELECT Segment, LineItem, UnitWeight, ReceivedDate, PersonID, PersonType, StorageIndicator"
                               " FROM LineItemDetails WHERE OrderID = '" + order + "'";
    EXPECT_EQ(service.query(select),
              (palletry_service::QueryRows{{"1", "1", "12.5", "11/30/2026 2:05:07 PM", "15", "2", "0"}}));

    EXPECT_EQ(call(service, "AddPODetails", detailsBody(order, "1", "1", "12")).status, 200);
    const auto rows = service.query(select);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2], "12.0");
}

TEST_F(ServiceWrites, DeletePORemovesTheSegmentAndItsDetails)
{
    const std::string order = "00000010012"; // segment 1 on 1002 (with details), segment 2 on 1001
    ASSERT_EQ(call(service, "AddPODetails", detailsBody(order, "2", "1", "3")).status, 200);
    const Reply removed = call(service, "DeletePO", body("DeletePO", "      " + element("OrderID", order) + "      "
                                                                     + element("OrderSegment", "2")));
    EXPECT_EQ(removed.status, 200);
    EXPECT_EQ(removed.body, ReplyStart + "<DeletePOResponse xmlns=\"" + NS + "\" />" + ReplyEnd);
    EXPECT_FALSE(find(onLoad(1001), order));
    EXPECT_TRUE(find(onLoad(1002), order));
    EXPECT_EQ(service.query("SELECT COUNT(*) FROM LineItemDetails WHERE OrderID = '" + order + "' AND Segment = 2")[0][0], "0");
    EXPECT_NE(service.query("SELECT COUNT(*) FROM LineItemDetails WHERE OrderID = '" + order + "' AND Segment = 1")[0][0], "0");
    const auto details = read(service, "GetOrderDetails", element("OrderID", order) + element("IncomingLoadID", "1001"));
    EXPECT_EQ(details[0].at("MaxSegment"), "1");
    EXPECT_EQ(details[0].at("LoadSegment"), "0");
    // Placed again, it takes the segment just freed.
    EXPECT_EQ(call(service, "AddPO", addPOBody({entry(order, 1001, 9)})).status, 200);
    const auto again = find(onLoad(1001), order);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->at("KLTV_OrderSegment"), "2");
}

TEST_F(ServiceWrites, RequestsAreRecordedInOrderWithTheirStatus)
{
    service.clearRequests();
    call(service, "GetVendorDataVendorMaster", "<GetVendorDataVendorMaster xmlns=\"" + NS + "\" />");
    const std::string quoted = "\"" + NS + "/DeletePO\"";
    const Reply r = post(service, quoted.c_str(), envelope(body("DeletePO", element("OrderID", "00000010031") + element("OrderSegment", "1"))));
    EXPECT_EQ(r.status, 200) << r.body; // a quoted SOAPAction is accepted too
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].soapAction, NS + "/GetVendorDataVendorMaster");
    EXPECT_EQ(requests[0].status, 200);
    EXPECT_EQ(requests[1].soapAction, quoted);
    EXPECT_NE(requests[1].body.find("<OrderID>00000010031</OrderID>"), std::string::npos);
}
