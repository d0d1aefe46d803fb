// The clerk's vendor workflow end to end: the real widgets, clicked and typed into,
// against the reference service; every write checked in the service's database.

#include "ClerkFixture.h"

#include "core/Conversion.h"

#include <QRegularExpression>

using namespace palletry;
using namespace palletry::test;

namespace {
using VendorWorkflow = ClerkFixture;
}

TEST_F(VendorWorkflow, ClerkTakesOrdersOntoTheLoadAndRecordsTheirLineItems)
{
    clickRow(*s.lstVendors, rowOf(*s.lstVendors, QStringLiteral("42")));
    EXPECT_EQ(d.state.SelectedVendorID, 42);
    EXPECT_TRUE(s.cmdViewDetails->isEnabled());
    click(s.cmdViewDetails);
    EXPECT_EQ(s.tabPalletry->currentIndex(), 1);
    EXPECT_FALSE(s.tabPalletry->isTabEnabled(0));
    EXPECT_FALSE(s.tabPalletry->isTabEnabled(2));
    EXPECT_EQ(control.height(), twipsToPixels(8670));
    EXPECT_EQ(ControlRig::column(*s.lstProspectivePOs, 0), (QStringList{"00000005002", "0000ABC1234", "5001"}));
    EXPECT_EQ(s.lstProspectivePOs->subItem(3, 1), QStringLiteral("East Gate <Dock 4> (3)"));
    EXPECT_EQ(s.lstSelectedPOs->columnWidthTwips(1), 0);
    EXPECT_EQ(sent(), (Texts{"GetVendorOrdersAndCentersOnly"}));
    click(s.cmdFind);
    expectBox("Please enter in a PO to find.", "PO Not Entered", QMessageBox::Information);
    // ">" moves the two highlighted orders, their center under "Center Name", no cartons.
    clickRow(*s.lstProspectivePOs, 3);
    clickRow(*s.lstProspectivePOs, 1, Qt::ControlModifier);
    click(s.cmdSelect);
    EXPECT_EQ(ControlRig::column(*s.lstProspectivePOs, 0), QStringList{"0000ABC1234"});
    EXPECT_EQ(ControlRig::row(*s.lstSelectedPOs, 2, 2), (QStringList{"5001", "", "East Gate <Dock 4> (3)"}));
    EXPECT_TRUE(s.lstSelectedPOs->selectedRows().empty());
    // "<" takes the highlighted one back with its center under "Center".
    clickRow(*s.lstSelectedPOs, 2);
    click(s.cmdRemove);
    EXPECT_EQ(ControlRig::column(*s.lstSelectedPOs, 0), QStringList{"00000005002"});
    EXPECT_EQ(ControlRig::row(*s.lstProspectivePOs, 2, 1), (QStringList{"5001", "East Gate <Dock 4> (3)"}));
    // A double click moves like ">"; "<<" and ">>" move everything.
    doubleClickRow(*s.lstProspectivePOs, 1);
    EXPECT_EQ(ControlRig::column(*s.lstSelectedPOs, 0), (QStringList{"00000005002", "0000ABC1234"}));
    click(s.cmdRemoveAll);
    EXPECT_EQ(s.lstSelectedPOs->count(), 0);
    clickHeader(*s.lstProspectivePOs, 1); // the left by "Center": the right still by OrderID
    click(s.cmdSelectAll);
    EXPECT_EQ(ControlRig::column(*s.lstSelectedPOs, 0), (QStringList{"00000005002", "0000ABC1234", "5001"}));
    EXPECT_EQ(s.lstProspectivePOs->count(), 0);
    // Find: padded to 11 characters, letters in any case; the field empties, Find goes unavailable.
    s.optSelectedPOs->setChecked(true);
    type(s.txtFindPO, QStringLiteral("999"));
    EXPECT_TRUE(s.cmdFind->isEnabled());
    click(s.cmdFind);
    expectBox("Purchase Order Not found in any of the list for the selected Vendor", "prjPalletry", QMessageBox::NoIcon);
    EXPECT_TRUE(s.txtFindPO->text().isEmpty());
    EXPECT_FALSE(s.cmdFind->isEnabled());
    // Open 5001: after LoadData cut the grid to its headings, the first line item is taken up.
    service.clearRequests();
    openOrder(QStringLiteral("5001"));
    EXPECT_EQ(sent(), (Texts{"GetOrderDetails"}));
    EXPECT_EQ(s.grdOrdItems->rows(), 4);
    EXPECT_EQ(ControlRig::gridRow(*s.grdOrdItems, 3), (QStringList{"3", "3", "MD-3", "Rug"}));
    EXPECT_EQ(control.CurrentSegmentNumber(), 0);
    EXPECT_TRUE(s.txtNumberOfCartons->isEnabled());
    EXPECT_TRUE(s.txtNumberOfCartons->text().isEmpty());
    EXPECT_EQ(s.lblLineItem->text(), QStringLiteral("1"));
    EXPECT_EQ(s.lblModel->text(), QStringLiteral("MD-1"));
    clickCell(*s.grdOrdItems, 2, 3);
    EXPECT_EQ(s.lblLineItem->text(), QStringLiteral("2"));
    EXPECT_EQ(s.lblModel->text(), QStringLiteral("MD-2"));
    // Validation: the first failing check speaks, its field takes the focus, nothing is sent.
    struct Case
    {
        const char* cartons;
        const char* weight;
        const char* message;
        QLineEdit* focus;
    } cases[] = {
        {"", "", "Number of cartons has been left blank.", s.txtNumberOfCartons},
        {"abc", "", "Number of cartons must be a numeric value.", s.txtNumberOfCartons},
        {" ", "1", "Number of cartons must be a numeric value.", s.txtNumberOfCartons},
        {"12,5", "1", "Number of cartons must be a numeric value.", s.txtNumberOfCartons},
        {"7", "", "Unit weight has been left blank.", s.txtUnitWeight},
        {"7", "1,5", "Unit weight must be a numeric value.", s.txtUnitWeight},
        {"7", "1e999", "Unit weight must be a numeric value.", s.txtUnitWeight},
    };
    for (const Case& c : cases) {
        save(QString::fromLatin1(c.cartons), QString::fromLatin1(c.weight));
        EXPECT_EQ(lastPrompt(), QString::fromLatin1(c.message)) << c.cartons << " / " << c.weight;
        EXPECT_EQ(rig.recorder.boxes().back().request.icon, QMessageBox::NoIcon);
        EXPECT_EQ(QApplication::focusWidget(), c.focus) << c.message;
    }
    EXPECT_TRUE(sent().empty());
    // A search highlights another order; the save still records the order on screen.
    type(s.txtFindPO, QStringLiteral("abc1234"));
    click(s.cmdFind);
    EXPECT_EQ(s.lstSelectedPOs->selectedRows(), std::vector<int>{2});
    EXPECT_EQ(QApplication::focusWidget(), s.lstSelectedPOs);
    std::size_t requestsAtSuccess = 0; // the message comes once the load list was read again
    QObject::connect(&control, &Palletry::messageShown, &control, [&](const QString& text) {
        if (text == QLatin1String("Data has been saved successfully!!!"))
            requestsAtSuccess = service.requests().size();
    });
    save(QStringLiteral("7"), QStringLiteral(" 12.5 "));
    EXPECT_EQ(requestsAtSuccess, 7u);
    EXPECT_NE(bodyOf("AddPO").find("<string>5001;77;3;42;1234;7;12345;A;15;2</string>"), std::string::npos)
        << bodyOf("AddPO");
    // The segment is the one the service gave the order on this load, read back after AddPO.
    EXPECT_EQ(sent(), (Texts{"GetVendorDetailsByOrderID", "GetOrderDetails", "AddPO", "GetOrderDetails",
                             "AddPODetails", "GetOrderDetails", "GetVendorHomeDeliverly"}));
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
    expectBox("Data has been saved successfully!!!", "prjPalletry", QMessageBox::Information);
    EXPECT_EQ(control.CurrentSegmentNumber(), 3);
    EXPECT_EQ(rowsOf("SELECT Segment, NumberOfCartons, PersonID, PersonType FROM OrderSegments"
                     " WHERE OrderID = '5001' AND IncomingLoadID = 1234"),
              (palletry_service::QueryRows{{"3", "7", "15", "2"}}));
    const auto detail = rowsOf("SELECT LineItem, UnitWeight, PersonID, PersonType, ReceivedDate, RecordLastUpdated"
                               " FROM LineItemDetails WHERE OrderID = '5001' AND Segment = 3");
    ASSERT_EQ(detail.size(), 1u);
    EXPECT_EQ(Texts(detail[0].begin(), detail[0].begin() + 4), (Texts{"2", "12.5", "15", "2"}));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$"))
                    .match(QString::fromStdString(detail[0][4])).hasMatch())
        << detail[0][4];
    EXPECT_EQ(detail[0][4], detail[0][5]);
    // The load list is the service's: 5001 under its recorded segment and cartons.
    const ListView& all = *s.lstAllSelectedPOs;
    ASSERT_EQ(ControlRig::column(all, 0), QStringList{"5001"});
    EXPECT_EQ(all.subItem(1, 6), QStringLiteral("3"));
    EXPECT_EQ(all.subItem(1, 7), QStringLiteral("7"));
    EXPECT_TRUE(available(s.cmdViewAll));
    // The panel is ready for the next line item of the same order.
    EXPECT_TRUE(s.lblLineItem->text().isEmpty());
    EXPECT_TRUE(s.txtUnitWeight->text().isEmpty());
    EXPECT_EQ(s.txtNumberOfCartons->text(), QStringLiteral("7"));
    EXPECT_EQ(ControlRig::gridRow(*s.grdOrdItems, 1), (QStringList{"1", "1", "MD-1", "Sofa"}));
    // The second line item, reached by the arrow from the first: details only, under the same segment.
    clickCell(*s.grdOrdItems, 2, 1);
    QTest::keyClick(s.grdOrdItems, Qt::Key_Down);
    settle();
    save(QStringLiteral("7"), QStringLiteral("4e1"));
    EXPECT_EQ(sent(), (Texts{"GetVendorDetailsByOrderID", "GetOrderDetails", "AddPODetails", "GetOrderDetails",
                             "GetVendorHomeDeliverly"}));
    EXPECT_EQ(successes(), 2);
    EXPECT_EQ(rowsOf("SELECT LineItem, UnitWeight FROM LineItemDetails WHERE OrderID = '5001' AND Segment = 3"
                     " ORDER BY LineItem"),
              (palletry_service::QueryRows{{"2", "12.5"}, {"3", "40.0"}}));
    EXPECT_EQ(all.count(), 1);
    // Opened again, the order shows its recorded cartons locked and its segment.
    openOrder(QStringLiteral("0000ABC1234"));
    EXPECT_EQ(control.CurrentSegmentNumber(), 0);
    openOrder(QStringLiteral("5001"));
    EXPECT_FALSE(s.txtNumberOfCartons->isEnabled());
    EXPECT_EQ(s.txtNumberOfCartons->text(), QStringLiteral("7"));
    EXPECT_EQ(control.CurrentSegmentNumber(), 3);
    // Cancel keeps the carton text but frees the field; Done empties it. Both go back to the first tab.
    click(s.cmdCancelVendorDetails);
    EXPECT_EQ(s.tabPalletry->currentIndex(), 0);
    EXPECT_FALSE(s.tabPalletry->isTabEnabled(1));
    EXPECT_EQ(control.height(), twipsToPixels(4815));
    EXPECT_TRUE(available(s.txtNumberOfCartons));
    EXPECT_EQ(s.txtNumberOfCartons->text(), QStringLiteral("7"));
    EXPECT_TRUE(s.grdOrdItems->text(1, 1).isEmpty());
    EXPECT_TRUE(s.lblModel->text().isEmpty());
    click(s.cmdViewDetails);
    click(s.cmdFinished);
    EXPECT_EQ(s.tabPalletry->currentIndex(), 0);
    EXPECT_TRUE(s.txtNumberOfCartons->text().isEmpty());
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}

TEST_F(VendorWorkflow, ASaveThatCannotBeRecordedSendsNoWriteAndClaimsNoSuccess)
{
    const auto writes = [&] {
        Texts w;
        for (const std::string& op : sent())
            if (op == "AddPO" || op == "AddPODetails")
                w.push_back(op);
        return w;
    };
    const auto lastLog = [&] { return rig.recorder.logTexts().isEmpty() ? QString() : rig.recorder.logTexts().back(); };
    // A save that reports once more, naming what it was given, and writes nothing (asks nothing when not @p asks).
    int reports = 0;
    const auto refusedSave = [&](const QString& logged, bool asks = true) {
        service.clearRequests();
        save(QStringLiteral("7"), QStringLiteral("1"));
        EXPECT_TRUE(asks ? writes().empty() : sent().empty()) << logged.toStdString();
        EXPECT_EQ(rig.recorder.errorReportCount(), ++reports);
        EXPECT_TRUE(lastLog().contains(logged)) << lastLog().toStdString();
    };
    openVendor(QStringLiteral("42"));
    click(s.cmdSelectAll);
    // No order's line items shown yet.
    refusedSave(QStringLiteral(" cmdSaveVendorDetails_Click()\r\n"), false);
    // The order on screen has gone back to the open orders.
    openOrder(QStringLiteral("5001"));
    click(s.cmdRemoveAll);
    refusedSave(QStringLiteral("5001"), false);
    // A person id that does not convert: nothing written, not even the registration.
    click(s.cmdSelectAll);
    openOrder(QStringLiteral("5001"));
    control.SetPersonInformation(QStringLiteral("x15"), QStringLiteral("2"));
    refusedSave(QStringLiteral("Type mismatch: the person id 'x15' given with SetPersonInformation is not a whole number "
                               "from -32768 to 32767; nothing was saved\r\nError Source - prjPalletry AddPO\r\n"));
    control.SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
    // No grid row taken up since the last save cleared the labels: the line item does not convert.
    ASSERT_TRUE(s.lblLineItem->text().isEmpty());
    refusedSave(QStringLiteral("No line item of order 5001 is chosen: click one in the grid first\r\nError Source - "
                               "prjPalletry AddPO\r\n"));
    // A value holding ";" would shift the orders array's fields: nothing is sent.
    clickCell(*s.grdOrdItems, 1, 1);
    control.SetPersonInformation(QStringLiteral("15"), QStringLiteral("2;9"));
    refusedSave(QStringLiteral("2;9"));
    control.SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
    // An order the service no longer knows: no details, nothing sent, the order named in the log.
    openOrder(QStringLiteral("00000005002"));
    service.query("PRAGMA foreign_keys = OFF");
    service.query("DELETE FROM Orders WHERE OrderID = '00000005002'");
    service.query("PRAGMA foreign_keys = ON");
    refusedSave(QStringLiteral("00000005002"));
    EXPECT_TRUE(lastLog().contains(QStringLiteral(" AddPO\r\n")));
    EXPECT_EQ(successes(), 0);
    // Carton count 0: the count the selected list shows for the order goes into the orders array.
    openOrder(QStringLiteral("0000ABC1234"));
    s.lstSelectedPOs->setSubItem(rowOf(*s.lstSelectedPOs, QStringLiteral("0000ABC1234")), 1, QStringLiteral("12"));
    service.clearRequests();
    save(QStringLiteral("0"), QStringLiteral("2"));
    EXPECT_NE(bodyOf("AddPO").find(";1234;12;33333;C;15;2</string>"), std::string::npos) << bodyOf("AddPO");
    EXPECT_EQ(writes(), (Texts{"AddPO", "AddPODetails"}));
    EXPECT_EQ(rowsOf("SELECT Segment, NumberOfCartons FROM OrderSegments WHERE OrderID = '0000ABC1234'"),
              (palletry_service::QueryRows{{"1", "12"}}));
    EXPECT_EQ(successes(), 1);
    EXPECT_EQ(rig.recorder.errorReportCount(), 6);
}

TEST_F(VendorWorkflow, TheVendorIsTheRowTheClerkChose)
{
    // The row text's leading number.
    s.lstVendors->addRow({QStringLiteral("12A"), QStringLiteral("Twelve")});
    clickRow(*s.lstVendors, rowOf(*s.lstVendors, QStringLiteral("12A")));
    EXPECT_EQ(d.state.SelectedVendorID, 12);
    // View Details takes the vendor it opens ("12A" cannot be asked for: one report); with no
    // vendors listed it does nothing.
    click(s.cmdViewDetails);
    EXPECT_EQ(d.state.SelectedVendorID, leadingNumberToInt32(s.lstVendors->text(s.lstVendors->currentRow())));
    click(s.cmdFinished);
    s.lstVendors->clear();
    service.clearRequests();
    click(s.cmdViewDetails);
    EXPECT_EQ(s.tabPalletry->currentIndex(), 0);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
}
