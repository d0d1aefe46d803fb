// Opening loads of the reference service, as a host drives the control.

#include "ClerkFixture.h"

#include <algorithm>

using namespace palletry;
using namespace palletry::test;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

struct OpeningALoad : ClerkFixture
{
    bool opensTheLoad() const override { return false; }
    QStringList sqlColumn(const std::string& sql)
    {
        QStringList out;
        for (const auto& row : service.query(sql))
            out << qs(row.at(0));
        return out;
    }
};

} // namespace

TEST_F(OpeningALoad, OpensTheDemoLoadWithItsHeaderVendorsAndOrders)
{
    const qint32 load = service.demoLoadId();
    control.LoadData(qs(service.serverName()), load);
    EXPECT_EQ(sent(), (Texts{"GetVendorIncomingLoad", "GetVendorDataVendorMaster", "GetVendorHomeDeliverly"}));
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
    EXPECT_EQ(d.state.ServiceUrl, qs(service.url()));
    const auto header = service.query("SELECT TruckNumber, LoadDate, Carrier FROM Loads WHERE IncomingLoadID = "
                                      + std::to_string(load));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(s.txtLoadID->text(), QString::number(load));
    EXPECT_EQ(s.txtTruckNumber->text(), qs(header[0][0]));
    const QString date = qs(header[0][1]).left(10); // YYYY-MM-DD
    EXPECT_EQ(s.txtLoadDate->text(), date.mid(5, 2) + '/' + date.mid(8, 2) + '/' + date.left(4));
    EXPECT_EQ(s.txtDriver->text(), qs(header[0][2]));
    // Vendors: every one once, names as the service holds them ("&", "<" included), sorted by name.
    const ListView& vendors = *s.lstVendors;
    QStringList expectedIds = sqlColumn("SELECT VendorID FROM Vendors");
    QStringList ids = ControlRig::column(vendors, 0);
    std::sort(expectedIds.begin(), expectedIds.end());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, expectedIds);
    const QStringList names = ControlRig::column(vendors, 1);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                               [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }));
    EXPECT_TRUE(names.contains(QStringLiteral("A<B Trading")));
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [](const QString& n) { return n.contains('&'); }));
    EXPECT_EQ(vendors.subItem(rowOf(vendors, QStringLiteral("999")), 1), QString()); // no name, not the one before
    // Orders on the load, with their segment on this load.
    QStringList expectedOrders = sqlColumn("SELECT OrderID FROM OrderSegments WHERE IncomingLoadID = "
                                           + std::to_string(load) + " ORDER BY OrderID");
    ASSERT_FALSE(expectedOrders.isEmpty());
    EXPECT_EQ(ControlRig::column(*s.lstAllSelectedPOs, 0), expectedOrders);
    ASSERT_TRUE(d.state.OrderSegmentTable.has_value());
    EXPECT_EQ(d.state.OrderSegmentTable->size(), expectedOrders.size() + 1);
    EXPECT_TRUE(s.cmdViewAll->isEnabled());
    EXPECT_FALSE(available(s.cmdAddPO)); // no PO typed yet
    EXPECT_EQ(s.tabPalletry->currentIndex(), 0);
}

TEST_F(OpeningALoad, ALoadIdBeyondSixteenBitsChangesNothingAnotherLoadStartsFromThatLoadAlone)
{
    control.LoadData(qs(service.serverName()), service.demoLoadId());
    const QStringList firstOrder = ControlRig::column(*s.lstVendors, 0);
    const int orders = s.lstAllSelectedPOs->count();
    control.setCurrentSegmentNumber(4);
    service.clearRequests();
    control.LoadData(QStringLiteral("http://127.0.0.1:1"), 32768);
    EXPECT_TRUE(service.requests().empty());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(d.state.ServiceUrl, qs(service.url()));
    EXPECT_EQ(d.state.LoadID, service.demoLoadId());
    EXPECT_EQ(control.CurrentSegmentNumber(), 4);
    EXPECT_EQ(s.txtLoadID->text(), QString::number(service.demoLoadId()));
    EXPECT_EQ(ControlRig::column(*s.lstVendors, 0), firstOrder);
    EXPECT_EQ(s.lstAllSelectedPOs->count(), orders);
    rig.recorder.clear();
    // Work in progress on the first load: a vendor's orders selected and one taken up, then an
    // order of the load open in the manual-PO panel with its line item taken up.
    click(s.cmdViewDetails);
    click(s.cmdSelectAll);
    clickRow(*s.lstSelectedPOs, 1);
    click(s.cmdFinished);
    click(s.cmdViewAll);
    doubleClickRow(*s.lstAllSelectedPOs, 1);
    ASSERT_FALSE(s.lblManualPOLineItem->text().isEmpty());
    control.LoadData(qs(service.serverName()), service.emptyLoadId());
    // Every entry in progress has ended: nothing of the first load can be saved onto this one.
    EXPECT_FALSE(s.fraAdPOManually->isVisibleTo(s.fraAdPOManually->parentWidget()));
    EXPECT_TRUE(s.txtAddPO->text().isEmpty());
    EXPECT_TRUE(s.lblManualPOLineItem->text().isEmpty() && s.lblLineItem->text().isEmpty());
    QStringList reversed = firstOrder;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(ControlRig::column(*s.lstVendors, 0), reversed); // a second click on the name header
    EXPECT_EQ(s.lstVendors->sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(s.lstAllSelectedPOs->count(), 0);
    EXPECT_FALSE(s.cmdViewAll->isEnabled()); // an empty load has nothing to view
    EXPECT_EQ(s.lstProspectivePOs->count(), 0);
    EXPECT_EQ(s.lstSelectedPOs->count(), 0);
    EXPECT_EQ(s.grdOrdItems->rows(), 1);
    EXPECT_EQ(s.grdManualPOItems->rows(), 1);
    EXPECT_EQ(s.tabPalletry->currentIndex(), 0);
    EXPECT_TRUE(s.tabPalletry->isTabEnabled(0));
    EXPECT_FALSE(s.tabPalletry->isTabEnabled(1));
    EXPECT_EQ(control.CurrentSegmentNumber(), 0);
    EXPECT_EQ(d.state.MaxSegment, QStringLiteral("0"));
    EXPECT_EQ(s.txtLoadID->text(), QString::number(service.emptyLoadId()));
    // No order of the first load keeps a segment for saves on this one.
    ASSERT_TRUE(d.state.OrderSegmentTable.has_value());
    EXPECT_EQ(d.state.OrderSegmentTable->size(), 1);
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}

TEST(OpeningABigLoad, FiftyThousandVendorsStandByNameTheFirstReadHighlightedASecondOpeningTurnsThemRound)
{
    palletry_service::Options options;
    options.demoData = false;
    options.vendors = 50000;
    options.orders = 200;
    options.lines = 1;
    palletry_service::ReferenceService service(options);
    ASSERT_TRUE(service.start());
    ControlRig rig;
    const ListView& vendors = *rig.d.screen.lstVendors;
    // Names follow the ids; the vendor read first (id 1) is the one highlighted, wherever it stands.
    const struct
    {
        Qt::SortOrder order;
        QString first, firstName, last;
        int highlighted;
    } openings[] = {{Qt::AscendingOrder, "1", "Vendor 00001 Home Goods", "50000", 1},
                    {Qt::DescendingOrder, "50000", "Vendor 50000 & Sons", "1", 50000}};
    for (const auto& opening : openings) {
        rig.control.LoadData(qs(service.serverName()), 1);
        EXPECT_EQ(rig.recorder.errorReportCount(), 0);
        ASSERT_EQ(vendors.count(), 50000);
        EXPECT_EQ(vendors.sortColumn(), 1);
        EXPECT_EQ(vendors.sortOrder(), opening.order);
        EXPECT_EQ(ControlRig::row(vendors, 1, 1), (QStringList{opening.first, opening.firstName}));
        EXPECT_EQ(vendors.text(50000), opening.last);
        EXPECT_EQ(vendors.selectedRows(), std::vector<int>{opening.highlighted});
        EXPECT_EQ(vendors.currentRow(), opening.highlighted);
        EXPECT_EQ(rig.d.screen.lstAllSelectedPOs->count(), 200);
    }
}
