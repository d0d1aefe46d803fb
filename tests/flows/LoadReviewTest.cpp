// Reviewing the whole load and adding a PO by hand, end to end against the reference service.

#include "ClerkFixture.h"

using namespace palletry;
using namespace palletry::test;

namespace {

/// Two more orders already on the load: 00000005002 with 24 cartons, 0000ABC1234 with 5.
struct LoadReviewFlow : ClerkFixture
{
    Texts moreSeed() const override
    {
        return {"INSERT INTO OrderSegments VALUES ('00000005002', 1, 1234, 24, '22222', 'B', '15', '2')",
                "INSERT INTO OrderSegments VALUES ('0000ABC1234', 1, 1234, 5, '33333', 'C', '15', '2')"};
    }
    bool panelOpen() const { return s.fraAdPOManually->isVisibleTo(s.fraAdPOManually->parentWidget()); }
    void addPO(const QString& po)
    {
        type(s.txtAddPO, po);
        click(s.cmdAddPO);
    }
    void expectClosed()
    {
        EXPECT_FALSE(panelOpen());
        EXPECT_EQ(control.height(), twipsToPixels(4815));
        EXPECT_EQ(s.tabPalletry->height(), twipsToPixels(4815));
        EXPECT_TRUE(s.txtAddPO->text().isEmpty());
        EXPECT_TRUE(available(s.txtAddPO));
        EXPECT_TRUE(available(s.txtManualPONumberOfCartons));
        EXPECT_TRUE(s.lblManualPOLineItem->text().isEmpty());
        EXPECT_TRUE(s.grdManualPOItems->rows() < 2 || s.grdManualPOItems->text(1, 1).isEmpty());
    }
};

} // namespace

TEST_F(LoadReviewFlow, ClerkAddsPOsByNumberAndCorrectsAnOrderOfTheLoad)
{
    click(s.cmdViewAll);
    EXPECT_EQ(s.tabPalletry->currentIndex(), 2);
    EXPECT_TRUE(s.cmdRemovePO->isEnabled());
    EXPECT_TRUE(sent().empty()); // the list already holds the load's orders
    // Typing: digits, "-" and backspace only, whatever the letter's case or script, the
    // digit's width or the sign; "Add P O" follows the text.
    type(s.txtAddPO, QStringLiteral("1aZ2 ._+-3"));
    for (const QChar c : QStringLiteral("\u00C4\uFF11\u0663"))
        QTest::sendKeyEvent(QTest::Click, s.txtAddPO, Qt::Key_unknown, QString(c), Qt::NoModifier);
    EXPECT_EQ(s.txtAddPO->text(), QStringLiteral("12-3"));
    EXPECT_TRUE(s.cmdAddPO->isEnabled());
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(s.txtAddPO, Qt::Key_Backspace);
    EXPECT_TRUE(s.txtAddPO->text().isEmpty());
    EXPECT_FALSE(s.cmdAddPO->isEnabled());
    type(s.txtAddPO, QStringLiteral("12345"));
    s.lstAllSelectedPOs->setFocus();
    s.txtAddPO->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(s.txtAddPO->selectedText(), QStringLiteral("12345"));
    // A PO already on this load with 24 cartons: its segment, its cartons locked; only details are sent.
    addPO(QStringLiteral("00000005002"));
    EXPECT_EQ(sent(), Texts{"GetOrderDetails"});
    EXPECT_TRUE(panelOpen());
    EXPECT_EQ(control.height(), twipsToPixels(8670));
    EXPECT_EQ(s.tabPalletry->height(), twipsToPixels(8655));
    EXPECT_EQ(control.CurrentSegmentNumber(), 1);
    EXPECT_FALSE(s.txtManualPONumberOfCartons->isEnabled());
    EXPECT_EQ(s.txtManualPONumberOfCartons->text(), QStringLiteral("24"));
    EXPECT_FALSE(s.txtAddPO->isEnabled());
    EXPECT_FALSE(s.cmdAddPO->isEnabled());
    EXPECT_EQ(s.lblManualPOLineItem->text(), QStringLiteral("1"));
    clickCell(*s.grdManualPOItems, 2, 1);
    EXPECT_EQ(s.lblManualPOModel->text(), QStringLiteral("MD-22"));
    save(QString(), QStringLiteral("3.5"), true);
    EXPECT_EQ(sent(), (Texts{"GetVendorDetailsByOrderID", "GetOrderDetails", "AddPODetails", "GetVendorHomeDeliverly"}));
    EXPECT_EQ(service.query("SELECT Segment, LineItem, UnitWeight FROM LineItemDetails WHERE OrderID = '00000005002'"),
              (palletry_service::QueryRows{{"1", "2", "3.5"}}));
    EXPECT_EQ(successes(), 1);
    expectClosed();
    EXPECT_FALSE(s.cmdAddPO->isEnabled());
    // A PO not on the load, typed while the last order's segment is still current: it is
    // registered and its details go under its own new segment (MaxSegment 2 + 1).
    ASSERT_NE(control.CurrentSegmentNumber(), 0);
    addPO(QStringLiteral("5001"));
    EXPECT_EQ(control.CurrentSegmentNumber(), 0);
    EXPECT_TRUE(s.txtManualPONumberOfCartons->isEnabled());
    EXPECT_TRUE(s.txtManualPONumberOfCartons->text().isEmpty());
    sent();
    save(QStringLiteral("7"), QStringLiteral("2"), true);
    EXPECT_EQ(sent(), (Texts{"GetVendorDetailsByOrderID", "GetOrderDetails", "AddPO", "GetOrderDetails", "AddPODetails",
                             "GetVendorHomeDeliverly"}));
    EXPECT_EQ(service.query("SELECT s.Segment, s.NumberOfCartons, d.LineItem FROM OrderSegments s JOIN LineItemDetails d"
                            " ON d.OrderID = s.OrderID AND d.Segment = s.Segment WHERE s.IncomingLoadID = 1234"
                            " AND s.OrderID = '5001'"),
              (palletry_service::QueryRows{{"3", "7", "1"}}));
    EXPECT_EQ(ControlRig::column(*s.lstAllSelectedPOs, 0), (QStringList{"00000005002", "0000ABC1234", "5001"}));
    EXPECT_EQ(successes(), 2);
    // A PO the service does not know: no line items, nothing sent, the panel stays open.
    addPO(QStringLiteral("99999"));
    EXPECT_EQ(s.grdManualPOItems->rows(), 1);
    EXPECT_TRUE(s.lblManualPOLineItem->text().isEmpty());
    sent();
    save(QStringLiteral("1"), QStringLiteral("1"), true);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_TRUE(rig.recorder.logTexts().back().contains(QStringLiteral("99999")));
    EXPECT_EQ(successes(), 2);
    EXPECT_TRUE(panelOpen());
    click(s.cmdManualPOCancel);
    // Cancel on an open panel closes it and leaves "Add P O" unavailable.
    addPO(QStringLiteral("5001"));
    EXPECT_FALSE(s.txtManualPONumberOfCartons->isEnabled());
    EXPECT_EQ(s.txtManualPONumberOfCartons->text(), QStringLiteral("7"));
    click(s.cmdManualPOCancel);
    expectClosed();
    EXPECT_FALSE(s.cmdAddPO->isEnabled());
    // A double click opens an order of the load with its segment and cartons; Done closes it,
    // goes back to the first tab and re-reads the load.
    sent();
    doubleClickRow(*s.lstAllSelectedPOs, rowOf(*s.lstAllSelectedPOs, QStringLiteral("0000ABC1234")));
    EXPECT_TRUE(panelOpen());
    EXPECT_EQ(s.txtAddPO->text(), QStringLiteral("0000ABC1234"));
    EXPECT_EQ(s.txtManualPONumberOfCartons->text(), QStringLiteral("5"));
    EXPECT_FALSE(s.txtManualPONumberOfCartons->isEnabled());
    EXPECT_EQ(control.CurrentSegmentNumber(), 1);
    click(s.cmdDone);
    EXPECT_EQ(sent(), (Texts{"GetOrderDetails", "GetVendorHomeDeliverly"}));
    EXPECT_EQ(s.tabPalletry->currentIndex(), 0);
    EXPECT_FALSE(s.tabPalletry->isTabEnabled(2));
    expectClosed();
    EXPECT_TRUE(s.txtManualPONumberOfCartons->text().isEmpty());
    // Done with an empty PO field leaves "Add P O" available; pressed, it asks for a PO.
    click(s.cmdViewAll);
    click(s.cmdDone);
    click(s.cmdViewAll);
    EXPECT_TRUE(s.cmdAddPO->isEnabled());
    click(s.cmdAddPO);
    expectBox("P O field cannot be left blank.", "Blank PO Field", QMessageBox::Information);
    EXPECT_EQ(QApplication::focusWidget(), s.txtAddPO);
    EXPECT_FALSE(panelOpen());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
}

TEST_F(LoadReviewFlow, RemoveTakesOffOnlyTheHighlightedOrderAndSaysSoOnlyWhenItWasTakenOff)
{
    const auto removals = [&] { return shown("PO has been removed successfully from load"); };
    service.query("INSERT INTO OrderSegments VALUES ('5001', 3, 1234, 9, '12345', 'A', '15', '2')");
    ListView& all = *s.lstAllSelectedPOs;
    // View All right after the load opened, nothing chosen: the current row is not the clerk's choice.
    control.LoadData(QString::fromStdString(service.serverName()), Load);
    clickRow(*s.lstVendors, rowOf(*s.lstVendors, QStringLiteral("42")));
    click(s.cmdViewDetails); // a vendor's details leave the host's list of the load's orders as it was
    EXPECT_EQ(control.ordersOnLoad().size(), 3);
    click(s.cmdFinished);
    click(s.cmdViewAll);
    ASSERT_EQ(all.count(), 3);
    ASSERT_NE(all.currentRow(), 0);
    sent();
    click(s.cmdRemovePO);
    expectBox("Please select an item from the list to remove", "Item Removal", QMessageBox::Information);
    EXPECT_TRUE(sent().empty());
    // Removing the first of three: the service no longer holds it, the last row is highlighted.
    clickRow(all, 1);
    click(s.cmdRemovePO);
    EXPECT_NE(bodyOf("DeletePO").find("<OrderSegment>1</OrderSegment>"), std::string::npos);
    EXPECT_EQ(sent(), (Texts{"GetOrderDetails", "DeletePO", "GetVendorHomeDeliverly"}));
    expectBox("PO has been removed successfully from load", "PO Removal", QMessageBox::Information);
    EXPECT_EQ(removals(), 1);
    EXPECT_TRUE(service.query("SELECT 1 FROM OrderSegments WHERE OrderID = '00000005002' AND IncomingLoadID = 1234")
                    .empty());
    EXPECT_EQ(ControlRig::column(all, 0), (QStringList{"0000ABC1234", "5001"}));
    EXPECT_EQ(all.selectedRows(), std::vector<int>{2});
    // The vendor's orders on the load, for the vendor the clerk chose.
    EXPECT_EQ(ControlRig::column(*s.lstSelectedPOs, 0), (QStringList{"0000ABC1234", "5001"}));
    // Remove again at once: the highlighted order, not the current row's. The service refuses it
    // (someone took it off meanwhile): no success message, the list shows what the service holds.
    ASSERT_NE(all.currentRow(), 2);
    service.query("DELETE FROM OrderSegments WHERE OrderID = '5001' AND IncomingLoadID = 1234");
    click(s.cmdRemovePO);
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_EQ(removals(), 1);
    EXPECT_EQ(ControlRig::column(all, 0), QStringList{"0000ABC1234"});
    // The only order: the list empties and "View All" goes unavailable.
    clickRow(all, 1);
    click(s.cmdRemovePO);
    EXPECT_EQ(removals(), 2);
    EXPECT_EQ(all.count(), 0);
    EXPECT_TRUE(control.ordersOnLoad().isEmpty()); // the service's answer held none
    EXPECT_FALSE(available(s.cmdViewAll));
    sent();
    click(s.cmdRemovePO);
    EXPECT_EQ(lastPrompt(), QStringLiteral("Please select an item from the list to remove"));
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
}
