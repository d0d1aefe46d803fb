#include "support/ControlRig.h"
#include "support/DataSetText.h"
#include "support/QtPrinters.h"
#include "support/ServiceRig.h"

#include "loaders/Loaders.h"
#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "soap/ServiceNamespace.h"

#include <palletry_service/ReferenceService.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <algorithm>

using namespace palletry;
using namespace palletry::test;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string operationOf(const std::string& soapAction)
{
    return soapAction.substr(soapAction.rfind('/') + 1);
}

/// The control opening loads of the reference service, as a host drives it.
struct OpenLoadFixture : ::testing::Test
{
    palletry_service::ReferenceService service;
    ControlRig rig;
    Palletry& control = rig.control;
    Palletry::Private& d = rig.d;

    void SetUp() override
    {
        ASSERT_TRUE(service.start());
        service.clearRequests();
    }

    QStringList sqlColumn(const std::string& sql)
    {
        QStringList out;
        for (const auto& row : service.query(sql))
            out << qs(row.at(0));
        return out;
    }

    std::vector<std::string> operationsSent()
    {
        std::vector<std::string> ops;
        for (const auto& r : service.requests())
            ops.push_back(operationOf(r.soapAction));
        return ops;
    }
};

} // namespace

TEST_F(OpenLoadFixture, OpensTheDemoLoadWithItsHeaderVendorsAndOrders)
{
    const qint32 load = service.demoLoadId();
    control.LoadData(qs(service.serverName()), load);

    EXPECT_EQ(operationsSent(),
              (std::vector<std::string>{"GetVendorIncomingLoad", "GetVendorDataVendorMaster", "GetVendorHomeDeliverly"}));
    for (const auto& r : service.requests())
        EXPECT_EQ(r.status, 200);
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
    EXPECT_EQ(d.state.ServiceUrl, qs(service.url()));
    EXPECT_EQ(service.requests().at(0).soapAction, std::string(ServiceNamespace) + "/GetVendorIncomingLoad");

    const auto header = service.query("SELECT TruckNumber, LoadDate, Carrier FROM Loads WHERE IncomingLoadID = "
                                      + std::to_string(load));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(d.screen.txtLoadID->text(), QString::number(load));
    EXPECT_EQ(d.screen.txtTruckNumber->text(), qs(header[0][0]));
    const QString date = qs(header[0][1]).left(10); // YYYY-MM-DD
    EXPECT_EQ(d.screen.txtLoadDate->text(), date.mid(5, 2) + '/' + date.mid(8, 2) + '/' + date.left(4));
    EXPECT_EQ(d.screen.txtDriver->text(), qs(header[0][2]));

    // Vendors: every one once, names as the service holds them ("&", "<" included), sorted by name.
    const ListView& vendors = *d.screen.lstVendors;
    QStringList expectedIds = sqlColumn("SELECT VendorID FROM Vendors");
    QStringList ids = ControlRig::column(vendors, 0);
    std::sort(expectedIds.begin(), expectedIds.end());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, expectedIds);
    EXPECT_EQ(vendors.sortColumn(), 1);
    EXPECT_EQ(vendors.sortOrder(), Qt::AscendingOrder);
    const QStringList names = ControlRig::column(vendors, 1);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                               [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }));
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [](const QString& n) { return n.contains('&'); }));
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [](const QString& n) { return n.contains('<'); }));

    // Orders on the load, with their segment on this load.
    const ListView& all = *d.screen.lstAllSelectedPOs;
    QStringList expectedOrders = sqlColumn("SELECT OrderID FROM OrderSegments WHERE IncomingLoadID = "
                                           + std::to_string(load) + " ORDER BY OrderID");
    ASSERT_FALSE(expectedOrders.isEmpty());
    EXPECT_EQ(ControlRig::column(all, 0), expectedOrders);
    ASSERT_TRUE(d.state.OrderSegmentTable.has_value());
    EXPECT_EQ(d.state.OrderSegmentTable->size(), expectedOrders.size() + 1);
    EXPECT_TRUE(d.screen.cmdViewAll->isEnabled());
    EXPECT_EQ(d.screen.tabPalletry->currentIndex(), 0);
}

TEST_F(OpenLoadFixture, AnEmptyLoadLeavesViewAllUnavailable)
{
    control.LoadData(qs(service.serverName()), service.emptyLoadId());
    EXPECT_EQ(d.screen.lstAllSelectedPOs->count(), 0);
    EXPECT_FALSE(d.screen.cmdViewAll->isEnabled());
    EXPECT_GT(d.screen.lstVendors->count(), 0);
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}

TEST_F(OpenLoadFixture, ALoadIdBeyondSixteenBitsChangesNothing)
{
    control.LoadData(qs(service.serverName()), service.demoLoadId());
    control.setCurrentSegmentNumber(4);
    const QString url = d.state.ServiceUrl;
    const QStringList vendors = ControlRig::column(*d.screen.lstVendors, 0);
    const int orders = d.screen.lstAllSelectedPOs->count();
    service.clearRequests();

    control.LoadData(QStringLiteral("http://127.0.0.1:1"), 32768);

    EXPECT_TRUE(service.requests().empty());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(rig.recorder.logTexts().value(0),
              QStringLiteral("\r\n\r\nError Number - 6\r\nError Description - Overflow\r\n"
                             "Error Source - prjPalletry LoadData\r\nProject Associated - Palletry"));
    EXPECT_EQ(d.state.ServiceUrl, url);
    EXPECT_EQ(d.state.LoadID, service.demoLoadId());
    EXPECT_EQ(control.CurrentSegmentNumber(), 4);
    EXPECT_EQ(d.screen.txtLoadID->text(), QString::number(service.demoLoadId()));
    EXPECT_EQ(ControlRig::column(*d.screen.lstVendors, 0), vendors);
    EXPECT_EQ(d.screen.lstAllSelectedPOs->count(), orders);
}

TEST_F(OpenLoadFixture, AnUnreachableServerGivesThreeReportsAndAnEmptyScreen)
{
    HttpLimits limits;
    limits.connectTimeoutMs = 2000;
    d.soapCall.setLimits(limits);
    control.LoadData(QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::unusedPort()), 77);
    EXPECT_EQ(rig.recorder.errorReportCount(), 3);
    for (const QString& text : rig.recorder.logTexts())
        EXPECT_TRUE(text.contains(QStringLiteral(" ReturnWebserviceXML\r\n"))) << text.toStdString();
    EXPECT_EQ(d.screen.txtLoadID->text(), QStringLiteral("77"));
    EXPECT_TRUE(d.screen.txtTruckNumber->text().isEmpty());
    EXPECT_EQ(d.screen.lstVendors->count(), 0);
    EXPECT_EQ(d.screen.lstAllSelectedPOs->count(), 0);
    EXPECT_FALSE(d.screen.cmdViewAll->isEnabled());
}

TEST_F(OpenLoadFixture, ASecondLoadStartsFromThatLoadAloneAndReversesTheVendors)
{
    control.LoadData(qs(service.serverName()), service.demoLoadId());
    const QStringList firstOrder = ControlRig::column(*d.screen.lstVendors, 0);
    // Leave traces of work on the first load everywhere a clerk could.
    d.screen.lstProspectivePOs->addRow({"00000099999", "Main (1)"});
    d.screen.lstSelectedPOs->addRow({"00000099999", "3", "Main (1)"});
    d.screen.grdOrdItems->setRows(4);
    d.screen.grdOrdItems->setText(3, 2, QStringLiteral("MD-OLD"));
    d.navigation.showOnly(1);
    control.setCurrentSegmentNumber(3);
    d.state.MaxSegment = QStringLiteral("5");

    control.LoadData(qs(service.serverName()), service.emptyLoadId());

    QStringList reversed = firstOrder;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(ControlRig::column(*d.screen.lstVendors, 0), reversed); // a second click on the name header
    EXPECT_EQ(d.screen.lstVendors->sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(d.screen.lstAllSelectedPOs->count(), 0);
    EXPECT_EQ(d.screen.lstProspectivePOs->count(), 0);
    EXPECT_EQ(d.screen.lstSelectedPOs->count(), 0);
    EXPECT_EQ(d.screen.grdOrdItems->rows(), 1);
    EXPECT_EQ(d.screen.tabPalletry->currentIndex(), 0);
    EXPECT_TRUE(d.screen.tabPalletry->isTabEnabled(0));
    EXPECT_FALSE(d.screen.tabPalletry->isTabEnabled(1));
    EXPECT_EQ(control.CurrentSegmentNumber(), 0);
    EXPECT_EQ(d.state.MaxSegment, QStringLiteral("0"));
    EXPECT_EQ(d.screen.txtLoadID->text(), QString::number(service.emptyLoadId()));
    // No order of the first load keeps a segment for saves on this one.
    ASSERT_TRUE(d.state.OrderSegmentTable.has_value());
    EXPECT_EQ(d.state.OrderSegmentTable->size(), 1);
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}

TEST_F(OpenLoadFixture, LineItemsOfARealOrderWithItsSegments)
{
    control.LoadData(qs(service.serverName()), service.demoLoadId());
    const auto rows = service.query(
        "SELECT s.OrderID, s.Segment, s.NumberOfCartons, (SELECT COUNT(*) FROM LineItems l WHERE l.OrderID = s.OrderID)"
        " FROM OrderSegments s WHERE s.IncomingLoadID = " + std::to_string(service.demoLoadId())
        + " ORDER BY s.OrderID LIMIT 1");
    ASSERT_EQ(rows.size(), 1u);
    d.loaders.LoadLineItemsOrderDetail(qs(rows[0][0]), true, qint16(service.demoLoadId()));
    EXPECT_EQ(d.screen.grdOrdItems->rows(), std::stoi(rows[0][3]) + 1);
    EXPECT_EQ(d.state.LoadSegment, qs(rows[0][1]));
    EXPECT_EQ(d.state.NumberOfCartonsForOrderLoad, qs(rows[0][2]));
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}
