// A clerk with a scanner gun and no mouse: the whole vendor workflow by key events sent to the
// focused widget alone, with scanner entry off and on, in a host dialog whose default button
// counts every Enter that reaches it.

#include "ClerkFixture.h"

#include <QDialog>
#include <QPointer>
#include <QVBoxLayout>

#include <iostream>

using namespace palletry;
using namespace palletry::test;

namespace {

struct KeyboardClerk : ClerkFixture, testing::WithParamInterface<bool>
{
    bool opensTheLoad() const override { return false; }
    QDialog host;
    int hostDefaults = 0, keys = 0;
    std::unique_ptr<QObject, void (*)(QObject*)> unhost{&control, [](QObject* c) { c->setParent(nullptr); }}; // rig's

    static QWidget* focus() { return QApplication::focusWidget(); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        ASSERT_TRUE(focus());
        QTest::keyClick(focus(), key, modifiers);
        ++keys;
        // An access key or a default button clicks a moment after the key.
        const auto buttons = host.findChildren<QPushButton*>();
        QTest::qWaitFor([&] { return std::none_of(buttons.begin(), buttons.end(), [](auto* b) { return b->isDown(); }); });
        settle();
    }
    void typeKeys(const char* text)
    {
        for (const char* c = text; *c; ++c, ++keys) QTest::keyClick(focus(), *c);
        settle();
    }
    void pressUntil(Qt::Key key, QWidget* target)
    {
        for (int n = 0; n < 40 && focus() != target; ++n) press(key);
        ASSERT_EQ(focus(), target);
    }
    /// Scanner entry on: Enter; off: @p key (an access key with Alt).
    void enterOr(Qt::Key key) { GetParam() ? press(Qt::Key_Return) : press(key, Qt::AltModifier); }
    /// Line item 2 by the arrow: shown, current in the grid, and the one saved, by keys alone.
    void lineItemTwo(FlexGrid& grid, QLabel* shown, const char* order, const char* cartons, const char* weight,
                     const char* stored)
    {
        press(Qt::Key_L, Qt::AltModifier);
        press(Qt::Key_Down);
        EXPECT_EQ(grid.row(), 2);
        EXPECT_EQ(shown->text(), QStringLiteral("2"));
        enterOr(Qt::Key_N);
        typeKeys(cartons);
        enterOr(Qt::Key_W);
        typeKeys(weight);
        enterOr(Qt::Key_S);
        EXPECT_NE(bodyOf("AddPODetails").find("<LineItem>2</LineItem>"), std::string::npos);
        EXPECT_EQ(rowsOf(std::string("SELECT LineItem, UnitWeight FROM LineItemDetails WHERE OrderID = '") + order + "'"),
                  (palletry_service::QueryRows{{"2", stored}}));
    }
    void step(const char* name) { std::cout << "[keys] scanner " << GetParam() << " | " << name << " | " << std::exchange(keys, 0) << '\n'; }
};

} // namespace

TEST_P(KeyboardClerk, TheWholeVendorWorkflowByKeys)
{
    const bool scanner = GetParam();
    auto* ok = new QPushButton(QStringLiteral("OK"));
    (new QVBoxLayout(&host))->addWidget(&control);
    host.layout()->addWidget(ok);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &host, [this] { ++hostDefaults; });
    control.setScannerEntry(scanner);
    control.SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
    host.show();
    control.LoadData(QString::fromStdString(service.serverName()), Load);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    service.clearRequests();
    EXPECT_EQ(focus() == s.lstVendors, scanner);
    pressUntil(Qt::Key_Tab, s.lstVendors);
    step("focus in the vendors after LoadData");

    typeKeys("42");
    scanner ? press(Qt::Key_Enter, Qt::KeypadModifier) : (press(Qt::Key_Space), press(Qt::Key_D, Qt::AltModifier));
    EXPECT_EQ(d.state.SelectedVendorID, 42);
    EXPECT_EQ(sent(), Texts{"GetVendorOrdersAndCentersOnly"});
    step("vendor 42, View Details");

    if (scanner) EXPECT_EQ(focus(), s.lstProspectivePOs);
    pressUntil(Qt::Key_Tab, s.lstProspectivePOs);
    typeKeys("5");
    press(Qt::Key_Return); // as a double click: ">"
    EXPECT_EQ(ControlRig::column(*s.lstSelectedPOs, 0), QStringList{"5001"});
    step("5001 onto the selected orders");

    pressUntil(Qt::Key_Backtab, s.lstSelectedPOs);
    press(Qt::Key_Home);
    press(scanner ? Qt::Key_Return : Qt::Key_Space);
    EXPECT_EQ(sent(), Texts{"GetOrderDetails"});
    EXPECT_EQ(s.lblLineItem->text(), QStringLiteral("1"));
    if (scanner) EXPECT_EQ(focus(), s.txtNumberOfCartons);
    step("take up 5001");

    lineItemTwo(*s.grdOrdItems, s.lblLineItem, "5001", "7", "12.5", "12.5");
    EXPECT_EQ(successes(), 1);
    if (scanner) EXPECT_EQ(focus(), s.grdOrdItems);
    step("line item 2, cartons, weight, Save");

    press(Qt::Key_D, Qt::AltModifier);
    press(Qt::Key_A, Qt::AltModifier);
    if (!scanner) press(Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(focus(), s.txtAddPO);
    typeKeys("00000005002");
    sent();
    press(Qt::Key_Return);
    if (!scanner) {
        EXPECT_EQ(std::make_pair(sent(), hostDefaults), std::make_pair(Texts{}, 1));
        press(Qt::Key_O, Qt::AltModifier);
    }
    EXPECT_EQ(sent(), Texts{"GetOrderDetails"});
    EXPECT_TRUE(s.fraAdPOManually->isVisible());
    if (scanner) EXPECT_EQ(focus(), s.txtManualPONumberOfCartons);
    step("a PO typed into Add to Selected P O");

    lineItemTwo(*s.grdManualPOItems, s.lblManualPOLineItem, "00000005002", "3", "8", "8.0");
    EXPECT_EQ(successes(), 2);
    if (scanner) EXPECT_EQ(focus(), s.txtAddPO);
    step("line item 2 of the PO by hand");

    // Enter on the load list opens the order for correction, as a double click does.
    pressUntil(Qt::Key_Tab, s.lstAllSelectedPOs);
    press(Qt::Key_Home);
    sent();
    press(Qt::Key_Return);
    EXPECT_EQ(sent(), Texts{"GetOrderDetails"});
    press(Qt::Key_C, Qt::AltModifier);
    pressUntil(Qt::Key_Tab, s.lstAllSelectedPOs);
    press(Qt::Key_Home);
    press(Qt::Key_Space); // highlights it: Remove takes only a highlighted order
    press(Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(shown("PO has been removed successfully from load"), 1);
    step("open, highlight and Remove");

    press(Qt::Key_D, Qt::AltModifier);
    pressUntil(Qt::Key_Tab, s.lstVendors);
    press(Qt::Key_D, Qt::AltModifier);
    press(Qt::Key_P, Qt::AltModifier);
    typeKeys("5002");
    GetParam() ? press(Qt::Key_Return) : press(Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(focus(), s.lstProspectivePOs);
    EXPECT_EQ(s.lstProspectivePOs->selectedRows(), std::vector<int>{rowOf(*s.lstProspectivePOs, "00000005002")});
    step("Find");

    EXPECT_EQ(hostDefaults, scanner ? 0 : 1);
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(ScannerEntry, KeyboardClerk, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "On" : "Off"; });

// A key pressed again while its action runs starts nothing; the host may delete the control
// from a slot of an action a key started.
TEST_F(ClerkFixture, AKeyStartedActionIsNotStartedTwiceAndMayLoseItsControl)
{
    QPointer<QWidget> window = new QWidget;
    auto* embedded = new Palletry(window);
    embedded->setMessageBoxes(false);
    embedded->setScannerEntry(true);
    window->show();
    embedded->LoadData(QString::fromStdString(service.serverName()), Load);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    Screen& screen = Palletry::Private::get(embedded)->screen;
    ASSERT_EQ(QApplication::focusWidget(), screen.lstVendors);
    service.clearRequests();
    QTest::keyClick(screen.lstVendors, Qt::Key_Return);
    ASSERT_TRUE(embedded->busy());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    EXPECT_EQ(sent(), Texts{"GetVendorOrdersAndCentersOnly"});

    // Deleted as the take-up that Enter started tells its start: its read is never sent.
    ASSERT_EQ(QApplication::focusWidget(), screen.lstProspectivePOs);
    QTest::keyClick(screen.lstProspectivePOs, Qt::Key_Return); // moves the highlighted first order
    settle();
    QObject::connect(embedded, &Palletry::busyChanged, window, [&window] { delete window; });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier); // the selected orders
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&window] { return window.isNull(); }, 10000));
    EXPECT_TRUE(sent().empty());
}
