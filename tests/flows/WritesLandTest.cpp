// Every write lands on the order and the load the clerk chose, or is not sent: two
// clerks at once, answers lost or unfit, stale rows. Each write is checked in the
// service's database; the control talks to it through a relay that can answer instead.

#include "RelayFixture.h"

#include <QClipboard>

#include <map>
#include <regex>

using namespace palletry;
using namespace palletry::test;

using WritesLand = RelayFixture;

TEST_F(WritesLand, TwoClerksSavingTheSameOrderOnTwoLoadsEachWriteTheirOwnDelivery)
{
    ControlRig other;
    other.control.SetPersonInformation(QStringLiteral("16"), QStringLiteral("2"));
    other.control.LoadData(QString::fromStdString(service.serverName()), 1235);
    // Both take up 5001 while neither has registered it: both read the same highest segment.
    for (Screen* screen : {&s, &other.d.screen}) {
        clickRow(*screen->lstVendors, rowOf(*screen->lstVendors, QStringLiteral("42")));
        click(screen->cmdViewDetails);
        click(screen->cmdSelectAll);
        clickRow(*screen->lstSelectedPOs, rowOf(*screen->lstSelectedPOs, QStringLiteral("5001")));
        clickCell(*screen->grdOrdItems, 2, 1);
    }
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    type(other.d.screen.txtNumberOfCartons, QStringLiteral("8"));
    type(other.d.screen.txtUnitWeight, QStringLiteral("2.5"));
    click(other.d.screen.cmdSaveVendorDetails);
    EXPECT_EQ(loadsOf("5001"), (Rows{{"1002", "1"}, {"1003", "2"}, {"1234", "3"}, {"1235", "4"}}));
    EXPECT_EQ(details("5001"), (Rows{{"3", "2", "1.5"}, {"4", "2", "2.5"}}));
    // Registered: the count is the load's now, locked as the next click on the order would lock it.
    EXPECT_FALSE(s.txtNumberOfCartons->isEnabled());
    EXPECT_EQ(s.txtNumberOfCartons->text(), QStringLiteral("7"));
    EXPECT_EQ(rig.recorder.errorReportCount() + other.recorder.errorReportCount(), 0);
    // A third clerk took 5001 off load 1234 since: the segment this control remembers is not written to.
    service.query("DELETE FROM OrderSegments WHERE OrderID = '5001' AND IncomingLoadID = 1234");
    clickCell(*s.grdOrdItems, 3, 1);
    sent();
    save(QStringLiteral("7"), QStringLiteral("3"));
    EXPECT_EQ(sent(), (Texts{"GetVendorDetailsByOrderID", "GetOrderDetails", "GetOrderDetails", "GetVendorHomeDeliverly"}));
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(control.CurrentSegmentNumber(), 0);
    EXPECT_TRUE(available(s.txtNumberOfCartons)); // not on the load: the count is the clerk's again
}

TEST_F(WritesLand, AnOrderWhoseRegistrationAnswerWasLostIsNotRegisteredTwice)
{
    // A line's own Row number takes it up.
    takeUp(QStringLiteral("5001"), 3, 0);
    EXPECT_EQ(s.lblModel->text(), QStringLiteral("MD-3"));
    // The order's details lost: that one report, nothing written.
    instead["GetVendorDetailsByOrderID"] = lost;
    sent();
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    EXPECT_EQ(sent(), Texts{"GetVendorDetailsByOrderID"});
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    // The details of another order: the same, said as such.
    instead["GetVendorDetailsByOrderID"] = [](const std::string& reply) {
        return CannedReply::xml(std::regex_replace(reply, std::regex("OrderID&gt;5001&lt;"), "OrderID&gt;00000005002&lt;"));
    };
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    EXPECT_EQ(sent(), (Texts{"GetVendorDetailsByOrderID", "GetOrderDetails", "GetVendorHomeDeliverly"}));
    ASSERT_EQ(rig.recorder.errorReportCount(), 2);
    EXPECT_TRUE(rig.recorder.logTexts().back().contains(
        QStringLiteral("The service answered with the details of order '00000005002' for order '5001': nothing was saved")));
    instead = {{"AddPO", lost}};
    clickCell(*s.grdOrdItems, 3, 0);
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    EXPECT_EQ(rig.recorder.errorReportCount(), 3);
    EXPECT_EQ(successes(), 0);
    EXPECT_TRUE(details("5001").empty());
    instead.clear();
    // The service holds it on this load already: its segment is used, AddPO is not sent again.
    clickCell(*s.grdOrdItems, 3, 0);
    sent();
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    EXPECT_EQ(sent(), (Texts{"GetVendorDetailsByOrderID", "GetOrderDetails", "AddPODetails", "GetOrderDetails",
                             "GetVendorHomeDeliverly"}));
    EXPECT_EQ(loadsOf("5001"), (Rows{{"1002", "1"}, {"1003", "2"}, {"1234", "3"}}));
    EXPECT_EQ(details("5001"), (Rows{{"3", "3", "1.5"}}));
    EXPECT_EQ(successes(), 1);
    EXPECT_EQ(rig.recorder.errorReportCount(), 3);
}

TEST_F(WritesLand, AnOrderDetailsAnswerThatCannotBeReadIsNoSignTheOrderIsOffTheLoad)
{
    takeUp(QStringLiteral("5001"), 1);
    instead["GetOrderDetails"] = [](const std::string&) {
        return CannedReply::xml(operationReply("GetOrderDetails", "<Root><DataSet>"));
    };
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    const Texts ops = sent();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "AddPO") + std::count(ops.begin(), ops.end(), "AddPODetails"), 0);
    EXPECT_EQ(loadsOf("5001"), (Rows{{"1002", "1"}, {"1003", "2"}}));
    // Each answer that is no DataSet is reported as the reply it is: the read-back's and the re-read's.
    EXPECT_EQ(rig.recorder.errorReportCount(), 2);
    for (const QString& text : rig.recorder.logTexts())
        EXPECT_TRUE(text.contains(QStringLiteral(": the reply holds no DataSet"))) << text.toStdString();
    EXPECT_EQ(successes(), 0);
}

TEST_F(WritesLand, AfterASaveTheGridShowsTheServicesLinesWithTheCursorOnTheFirst)
{
    takeUp(QStringLiteral("5001"), 2, 2);
    const FlexGrid& grid = *s.grdOrdItems;
    auto cells = [&] {
        QStringList texts;
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                texts << grid.text(r, c);
        return texts;
    };
    const QStringList before = cells();
    ASSERT_GE(grid.rows(), 3);
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    EXPECT_EQ(cells(), before);
    EXPECT_EQ(std::make_pair(grid.row(), grid.col()), std::make_pair(1, 2));
    // A line renamed on the service meanwhile is shown as the service now gives it.
    service.query("UPDATE LineItems SET Model = 'MD-X' WHERE OrderID = '5001' AND LineItem = 2");
    clickCell(*s.grdOrdItems, 2, 1);
    save(QStringLiteral("7"), QStringLiteral("2.5"));
    EXPECT_EQ(grid.text(2, 2), QStringLiteral("MD-X"));
    EXPECT_EQ(std::make_pair(grid.row(), grid.col()), std::make_pair(1, 1));
    EXPECT_EQ(successes(), 2);
}

TEST_F(WritesLand, RemoveAfterARefreshThatFailedDeletesNothingOnAnotherLoad)
{
    takeUp(QStringLiteral("5001"), 1);
    instead["GetVendorHomeDeliverly"] = lost;
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    EXPECT_EQ(successes(), 1);
    click(s.cmdFinished);
    click(s.cmdViewAll);
    ListView& all = *s.lstAllSelectedPOs;
    const int row = rowOf(all, QStringLiteral("5001"));
    ASSERT_NE(row, 0);
    EXPECT_EQ(all.subItem(row, LoadColumn::MaxSequence), QStringLiteral("3")); // the service's segment
    // Meanwhile 5001 was put back on this load as segment 4 and segment 3 went to load 1235:
    // the order is on this load, but the stale row's segment is another load's.
    service.query("DELETE FROM OrderSegments WHERE OrderID = '5001' AND Segment = 3");
    service.query("INSERT INTO OrderSegments VALUES ('5001', 3, 1235, 2, '12345', 'A', '16', '2'), "
                  "('5001', 4, 1234, 7, '12345', 'A', '15', '2')");
    clickRow(all, row);
    sent();
    click(s.cmdRemovePO);
    EXPECT_EQ(sent(), (Texts{"GetOrderDetails", "GetVendorHomeDeliverly"}));
    EXPECT_EQ(loadsOf("5001"), (Rows{{"1002", "1"}, {"1003", "2"}, {"1235", "3"}, {"1234", "4"}}));
    EXPECT_EQ(shown("PO has been removed successfully from load"), 0);
    EXPECT_NE(rowOf(all, QStringLiteral("5001")), 0); // not taken off the list either
    EXPECT_EQ(rig.recorder.errorReportCount(), 3); // with the two refreshes that failed
    EXPECT_TRUE(rig.recorder.logTexts().value(1).contains(QStringLiteral("Order 5001 is not on load 1234 under segment 3")));
}

TEST_F(WritesLand, ARemoveThatFailedKeepsTheClerksHighlightSoARetryRemovesThatOrder)
{
    service.query("INSERT INTO OrderSegments VALUES ('5001', 3, 1234, 9, '12345', 'A', '15', '2')");
    control.LoadData(rig.server.serverName(), Load);
    click(s.cmdViewAll);
    ListView& all = *s.lstAllSelectedPOs;
    ASSERT_EQ(all.count(), 2);
    const QString chosen = all.text(1), other = all.text(2);
    clickRow(all, 1);
    released = true;
    held["DeletePO"] = false; // a 503 before the service saw it
    click(s.cmdRemovePO);
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(all.selectedRows(), std::vector<int>{rowOf(all, chosen)}); // not the last row
    held.clear();
    sent();
    click(s.cmdRemovePO);
    EXPECT_NE(bodyOf("DeletePO").find("<OrderID>" + chosen.toStdString() + "</OrderID>"), std::string::npos);
    EXPECT_EQ(ControlRig::column(all, 0), QStringList{other});
}

TEST_F(WritesLand, ASaveWhoseFirstReadFailsLeavesTheLoadListAsTheServiceGaveIt)
{
    takeUp(QStringLiteral("5001"), 1);
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    ASSERT_EQ(successes(), 1);
    // 5001 goes back to the open orders; another order's save then cannot read its details.
    click(s.cmdRemoveAll);
    clickRow(*s.lstProspectivePOs, rowOf(*s.lstProspectivePOs, QStringLiteral("0000ABC1234")));
    click(s.cmdSelect);
    ASSERT_EQ(ControlRig::column(*s.lstSelectedPOs, 0), QStringList{"0000ABC1234"});
    openOrder(QStringLiteral("0000ABC1234"));
    clickCell(*s.grdOrdItems, 1, 1);
    instead["GetVendorDetailsByOrderID"] = lost;
    save(QStringLiteral("7"), QStringLiteral("2.5"));
    EXPECT_EQ(successes(), 1);
    EXPECT_EQ(rig.recorder.errorReportCount(), 1); // the read, nothing else
    EXPECT_EQ(loadsOf("5001").back(), (std::vector<std::string>{"1234", "3"}));
    EXPECT_NE(rowOf(*s.lstAllSelectedPOs, QStringLiteral("5001")), 0); // still listed, as the service holds it
}

TEST_F(WritesLand, ASegmentTheServiceDoesNotHoldIsReportedForWhatItIs)
{
    // Set by the host for an order the service holds on no segment of this load.
    takeUp(QStringLiteral("5001"), 1);
    control.setCurrentSegmentNumber(5);
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    // Saved under the segment the service gave it, then taken off the load by someone else.
    clickCell(*s.grdOrdItems, 1, 1);
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    ASSERT_EQ(successes(), 1);
    service.query("DELETE FROM OrderSegments WHERE OrderID = '5001' AND IncomingLoadID = 1234");
    service.query("DELETE FROM LineItemDetails WHERE OrderID = '5001'");
    clickCell(*s.grdOrdItems, 2, 1);
    save(QStringLiteral("7"), QStringLiteral("2.5"));
    const QStringList log = rig.recorder.logTexts();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].contains(QStringLiteral("The current segment 5 is not the service's for order 5001 on load "
                                               "1234, which does not hold it: nothing was saved")));
    EXPECT_TRUE(log[1].contains(QStringLiteral("Order 5001 is no longer on load 1234 under segment 3: nothing was saved")));
    EXPECT_EQ(successes(), 1);
    EXPECT_TRUE(details("5001").empty());
}

TEST_F(WritesLand, AnOrderThatCannotBeTakenUpLeavesNothingOfThePreviousOneToSave)
{
    // 0000ABC1234 saved: it stands on this load under segment 1; its first line is chosen again.
    takeUp(QStringLiteral("0000ABC1234"), 1);
    save(QStringLiteral("7"), QStringLiteral("1"));
    clickCell(*s.grdOrdItems, 1, 1);
    ASSERT_EQ(control.CurrentSegmentNumber(), 1);
    instead["GetOrderDetails"] = [](const std::string& reply) {
        return CannedReply::xml(std::regex_replace(reply, std::regex("LoadSegment&gt;0&lt;"), "LoadSegment&gt;x&lt;"));
    };
    openOrder(QStringLiteral("5001"));
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(control.CurrentSegmentNumber(), 0);
    EXPECT_TRUE(s.lblLineItem->text().isEmpty());
    EXPECT_TRUE(available(s.txtNumberOfCartons));
    sent();
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(rig.recorder.errorReportCount(), 2);
    EXPECT_EQ(details("5001"), Rows{});
    EXPECT_EQ(successes(), 1);
}

TEST_F(WritesLand, TheOrderOpenedFromTheLoadListIsTheOrderSaved)
{
    // A 12-character id, and the 11-character order a cut would make of it.
    service.query("INSERT INTO Orders VALUES ('000000050012', 42, 3, 77, 'A', '12345', 1), "
                  "('00000005001', 42, 3, 77, 'A', '12345', 1)");
    service.query("INSERT INTO LineItems VALUES ('000000050012', 1, 'MD-9', 'Table'), ('00000005001', 1, 'MD-8', 'Stool')");
    service.query("INSERT INTO OrderSegments VALUES ('000000050012', 1, 1234, 4, '12345', 'A', '15', '2')");
    control.LoadData(rig.server.serverName(), Load);
    click(s.cmdViewAll);
    doubleClickRow(*s.lstAllSelectedPOs, rowOf(*s.lstAllSelectedPOs, QStringLiteral("000000050012")));
    EXPECT_EQ(s.txtAddPO->text(), QStringLiteral("000000050012"));
    type(s.txtManualPOUnitWeight, QStringLiteral("4.5"));
    click(s.cmdManualPOSave);
    EXPECT_EQ(details("000000050012"), (Rows{{"1", "1", "4.5"}}));
    EXPECT_TRUE(details("00000005001").empty());
    EXPECT_EQ(successes(), 1);
    // Typing stops at 11 characters; a paste that would be cut, or holds a letter, is refused whole.
    type(s.txtAddPO, QStringLiteral("123456789012"));
    EXPECT_EQ(s.txtAddPO->text(), QStringLiteral("12345678901"));
    for (const char* pasted : {"123456789012", "12a4", "12A4", "12\n4", "98765432101"}) {
        s.txtAddPO->selectAll();
        QApplication::clipboard()->setText(QString::fromLatin1(pasted));
        QTest::keySequence(s.txtAddPO, QKeySequence::Paste);
        EXPECT_EQ(s.txtAddPO->text(), pasted[0] == '9' ? QString::fromLatin1(pasted) : QStringLiteral("12345678901"))
            << pasted; // the last one fits
    }
    // Every character of a key event's text is judged.
    s.txtAddPO->end(false);
    QTest::keyClick(s.txtAddPO, Qt::Key_Backspace);
    QKeyEvent twoCharacters(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("5x"));
    QApplication::sendEvent(s.txtAddPO, &twoCharacters);
    EXPECT_EQ(s.txtAddPO->text(), QStringLiteral("9876543210"));
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("5x"));
    QApplication::sendEvent(s.txtAddPO, &committed);
    EXPECT_EQ(s.txtAddPO->text(), QStringLiteral("9876543210"));
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}
