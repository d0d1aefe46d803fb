#include "support/ControlRig.h"

using namespace palletry;
using namespace palletry::test;

namespace {

QByteArray answer(const std::vector<DataSetRow>& rows)
{
    return QByteArray::fromStdString(dataSetText(rows));
}

DataSetRow homeRow(const std::string& order, const std::string& segment, const std::string& vendor = "12",
                   const std::string& parcels = "4")
{
    return {{"CenterID", "7"},        {"CenterName", "Main"},     {"FreightGroup", "FG1"},
            {"MemberID", "M" + order}, {"NumberParcels", parcels}, {"OrderID", order},
            {"PickupPostalCode", "30301"}, {"KLTV_OrderSegment", segment}, {"VendorID", vendor}};
}

std::vector<DataSetRow> homeRows(int n)
{
    std::vector<DataSetRow> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back(homeRow("0000000010" + std::to_string(i), std::to_string(i)));
    return rows;
}

std::vector<DataSetRow> lineItems(int n, const std::string& order = "00000010011")
{
    std::vector<DataSetRow> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({{"OrderID", order}, {"LineItem", std::to_string(i)}, {"Model", "MD-" + std::to_string(i)},
                        {"ItemDescription", "Item " + std::to_string(i)}, {"MaxSegment", "2"},
                        {"LoadSegment", "1"}, {"NumberOfCartonsForOrderLoad", "9"}});
    return rows;
}

struct LoadersFixture : ::testing::Test
{
    ControlRig rig;
    Palletry::Private& d = rig.d;
    Loaders& loaders = rig.d.loaders;
    ListView& vendors = *rig.d.screen.lstVendors;
    ListView& all = *rig.d.screen.lstAllSelectedPOs;
};

} // namespace

TEST(LoadDateTest, AcceptsTheFormsADataSetWritesAndKeepsOtherText)
{
    const std::pair<const char*, const char*> cases[] = {
        {"2026-11-30", "11/30/2026"},           {"2026-11-30T00:00:00+00:00", "11/30/2026"},
        {"2026-01-02T23:59:59.997Z", "01/02/2026"}, {"2026-03-04T05:06:07", "03/04/2026"},
        {"3/4/2026", "03/04/2026"},             {"12/31/2026 12:00:00 AM", "12/31/2026"},
        {"2026-12-01T23:30:00-08:00", "12/01/2026"}, // as written, not shifted to another zone
        {"2026-02-30", "2026-02-30"},           {"next Tuesday", "next Tuesday"}, {"", ""}};
    for (const auto& [given, shown] : cases)
        EXPECT_EQ(Loaders::formatLoadDate(QString::fromLatin1(given)), QString::fromLatin1(shown)) << given;
}

TEST_F(LoadersFixture, OrdersOnTheLoadFillTheListAndTheSegmentTable)
{
    DataSetRow third = homeRow("00000010013", "1");
    third.erase(third.begin() + 4); // NumberParcels left out: a null
    loaders.LoadVendorHomeDeliverly(
        answer({homeRow("00000010011", "02", "12", "30"), homeRow("00000010012", "1", "9"), third}));
    ASSERT_EQ(all.count(), 3);
    EXPECT_EQ(ControlRig::row(all, 1, 8),
              (QStringList{"00000010011", "M00000010011", "7", "12", "FG1", "30301", "02", "30", "Main"}));
    EXPECT_EQ(all.subItem(3, 7), QString()); // no cartons rather than the row before's
    ASSERT_TRUE(d.state.OrderSegmentTable.has_value());
    ASSERT_EQ(d.state.OrderSegmentTable->size(), 4);
    EXPECT_EQ((*d.state.OrderSegmentTable)[1].OrderID, QStringLiteral("00000010011"));
    EXPECT_EQ((*d.state.OrderSegmentTable)[1].OrderSegment, 2); // "02" read as a number, shown as received
    EXPECT_EQ((*d.state.OrderSegmentTable)[2].OrderSegment, 1);
}

TEST_F(LoadersFixture, FewerRowsShrinkTheTableAParseFailureKeepsItsSizeABadSegmentStopsAtItsRow)
{
    loaders.LoadVendorHomeDeliverly(answer(homeRows(5)));
    loaders.LoadVendorHomeDeliverly(answer(homeRows(3)));
    EXPECT_EQ(all.count(), 3);
    EXPECT_EQ(d.state.OrderSegmentTable->size(), 4);
    loaders.LoadVendorHomeDeliverly(QByteArrayLiteral("not xml"));
    EXPECT_EQ(all.count(), 0);
    EXPECT_EQ(d.state.OrderSegmentTable->size(), 4);
    loaders.LoadVendorHomeDeliverly(answer({}));
    EXPECT_EQ(d.state.OrderSegmentTable->size(), 4);
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
    // A segment that does not convert stops at its row; the rows before stay.
    loaders.LoadVendorHomeDeliverly(
        answer({homeRow("00000010011", "1"), homeRow("00000010012", "x"), homeRow("00000010013", "3")}));
    EXPECT_EQ(ControlRig::column(all, 0), (QStringList{"00000010011"}));
    ASSERT_EQ(d.state.OrderSegmentTable->size(), 3);
    EXPECT_EQ((*d.state.OrderSegmentTable)[2].OrderID, QStringLiteral("00000010012"));
    ASSERT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_TRUE(rig.recorder.logTexts().value(0).contains(QStringLiteral("Error Number - 13\r\n")));
    EXPECT_TRUE(rig.recorder.logTexts().value(0).contains(QStringLiteral(" LoadVendorHomeDeliverly\r\n")));
}

TEST_F(LoadersFixture, SelectedOrdersOfTheHighlightedVendorComparedAsNumbersOrElseAsText)
{
    // No orders on the load: nothing to refresh, no vendor needed.
    d.screen.lstSelectedPOs->addRow({"stale"});
    loaders.RefreshSelectedPOs();
    EXPECT_EQ(d.screen.lstSelectedPOs->count(), 0);
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
    vendors.addRows({{"12", "Twelve"}, {"13", "Thirteen"}});
    // "012" is vendor 12 too; a vendor id that is no number is no vendor's.
    loaders.LoadVendorHomeDeliverly(answer({homeRow("00000010011", "1", "12", "5"), homeRow("00000010012", "1", "x"),
                                            homeRow("00000010013", "2", "012", "")}));
    // No vendor highlighted (a Ctrl+click took it away): no vendor's orders, one report.
    vendors.setSelected(vendors.currentRow(), false);
    loaders.RefreshSelectedPOs();
    EXPECT_EQ(d.screen.lstSelectedPOs->count(), 0);
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    vendors.setSelected(vendors.findText(QStringLiteral("12")), true);
    loaders.RefreshSelectedPOs();
    const ListView& selected = *d.screen.lstSelectedPOs;
    ASSERT_EQ(selected.count(), 2);
    EXPECT_EQ(ControlRig::row(selected, 1, 2), (QStringList{"00000010011", "5", "Main (7)"}));
    EXPECT_EQ(ControlRig::row(selected, 2, 2), (QStringList{"00000010013", "", "Main (7)"}));
    // A vendor id that is no number is compared as text: "x" has its own order, and only it.
    vendors.addRows({{"x", "Odd"}});
    vendors.setSelected(vendors.findText(QStringLiteral("12")), false);
    vendors.setSelected(vendors.findText(QStringLiteral("x")), true);
    loaders.RefreshSelectedPOs();
    EXPECT_EQ(ControlRig::column(selected, 0), QStringList{"00000010012"});
}

TEST_F(LoadersFixture, VendorDetailsListOpenOrdersWithTheirCenterAndNeedAVendorId)
{
    d.state.OrderSegmentTable.emplace(4);
    d.screen.lstSelectedPOs->addRow({"old"});
    rig.setResult("GetVendorOrdersAndCentersOnly",
                    dataSetText({{{"CenterName", "Main"}, {"OrderCenterID", "7"}, {"OrderID", "555"}},
                                 {{"OrderCenterID", "8"}, {"OrderID", "556"}}}));
    rig.runAction(loaders.LoadVendorDetails(QStringLiteral("12"), 1001));
    const ListView& open = *d.screen.lstProspectivePOs;
    ASSERT_EQ(open.count(), 2);
    EXPECT_EQ(ControlRig::row(open, 1, 1), (QStringList{"555", "Main (7)"}));
    EXPECT_EQ(ControlRig::row(open, 2, 1), (QStringList{"556", " (8)"})); // no carry-over of the name
    EXPECT_EQ(d.screen.lstSelectedPOs->count(), 0);
    EXPECT_EQ(d.state.OrderSegmentTable->size(), 1);
    // No vendor id: nothing asked; one that is no number: said so, nothing sent.
    rig.server.clearRequests();
    rig.runAction(loaders.LoadVendorDetails(QString(), 1));
    rig.runAction(loaders.LoadVendorDetails(QStringLiteral("12a"), 1));
    EXPECT_EQ(rig.server.requests().size(), 0u);
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_TRUE(rig.recorder.logTexts().value(0).contains(
        QStringLiteral("Vendor 12a is not a number, so its open orders cannot be asked for\r\nError Source - "
                       "prjPalletry LoadVendorDetails\r\n")));
}

TEST_F(LoadersFixture, LineItemGridRowCountsFollowTheAnswer)
{
    FlexGrid& grid = *d.screen.grdOrdItems;
    rig.setResult("GetOrderDetails", dataSetText(lineItems(3)));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("00000010011"), true, 1001));
    EXPECT_EQ(grid.rows(), 4);
    EXPECT_EQ(grid.cols(), 4);
    EXPECT_EQ(ControlRig::gridRow(grid, 0), (QStringList{"Row", "Line Item", "Model", "Item Description"}));
    EXPECT_EQ(ControlRig::gridRow(grid, 3), (QStringList{"3", "3", "MD-3", "Item 3"}));
    EXPECT_EQ(d.state.MaxSegment, QStringLiteral("2"));
    EXPECT_EQ(d.state.LoadSegment, QStringLiteral("1"));
    EXPECT_EQ(d.state.NumberOfCartonsForOrderLoad, QStringLiteral("9"));
    rig.setResult("GetOrderDetails", dataSetText(lineItems(5)));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("A"), true, 1001));
    rig.setResult("GetOrderDetails", dataSetText(lineItems(1)));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("B"), true, 1001));
    EXPECT_EQ(grid.rows(), 2);
    rig.setResult("GetOrderDetails", dataSetText(lineItems(5)));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("C"), true, 1001));
    rig.setResult("GetOrderDetails", dataSetText({}));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("D"), true, 1001));
    EXPECT_EQ(grid.rows(), 6); // no rows: the old count stays, with every data cell empty
    for (int r = 1; r < 6; ++r)
        EXPECT_EQ(ControlRig::gridRow(grid, r), (QStringList{"", "", "", ""})) << r;
    // An order without line items comes as the empty result element: nothing to read.
    rig.server.setReply(CannedReply::xml(soapReply(
        "<GetOrderDetailsResponse xmlns=\"http://tempuri.org/KLTVRouteLocations/Service1\"><GetOrderDetailsResult />"
        "</GetOrderDetailsResponse>")));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("E"), true, 1001));
    EXPECT_EQ(grid.rows(), 1);
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}

TEST_F(LoadersFixture, FailedOrMissingOrderDetailsLeaveNothingOfThePreviousOrder)
{
    FlexGrid& manual = *d.screen.grdManualPOItems;
    rig.setResult("GetOrderDetails", dataSetText(lineItems(5)));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("00000010011"), false, 1001));
    ASSERT_EQ(manual.rows(), 6);
    rig.server.setReply(CannedReply::xml(soapFaultReply("Order not found"), 500, "Internal Server Error"));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("00000010012"), false, 1001));
    EXPECT_EQ(manual.rows(), 1);
    EXPECT_EQ(ControlRig::gridRow(manual, 0), (QStringList{"Row", "Line Item", "Model", "Item Description"}));
    EXPECT_EQ(d.state.LoadSegment, QString());
    EXPECT_EQ(d.state.NumberOfCartonsForOrderLoad, QString());
    EXPECT_EQ(d.state.MaxSegment, QStringLiteral("0"));
    EXPECT_EQ(rig.recorder.errorReportCount(), 1); // the failed call itself
    EXPECT_EQ(d.screen.grdOrdItems->rows(), 2);     // the other grid is untouched
    // An order whose answer has no segment columns starts from empty fields too.
    d.state.LoadSegment = QStringLiteral("4");
    d.state.MaxSegment = QStringLiteral("4");
    rig.setResult("GetOrderDetails", dataSetText({{{"OrderID", "X"}, {"LineItem", "1"}}, {{"LineItem", "2"}}}));
    rig.runAction(loaders.LoadLineItemsOrderDetail(QStringLiteral("X"), true, 1001));
    EXPECT_EQ(d.state.LoadSegment, QString());
    EXPECT_EQ(d.state.MaxSegment, QStringLiteral("0"));
    EXPECT_EQ(ControlRig::gridRow(*d.screen.grdOrdItems, 2), (QStringList{"2", "2", "", ""}));
}
