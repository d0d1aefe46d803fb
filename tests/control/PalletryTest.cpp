#include "support/ControlRig.h"

#include "core/Aside.h"

#include <QSignalSpy>
#include <QTabBar>
#include <QThreadPool>

#include <future>
#include <thread>

using namespace palletry;
using test::clickHeader;

namespace {

struct ControlFixture : ::testing::Test
{
    test::ControlRig rig;
    Palletry& control = rig.control;
    Palletry::Private& d = rig.d;
    const QVector<test::ReportRecorder::Box>& boxes = rig.recorder.boxes();
    QTabWidget* tabs() { return control.findChild<QTabWidget*>(QStringLiteral("tabPalletry")); }
};

} // namespace

TEST_F(ControlFixture, ANewControlHasOnlyTheFirstTabSelectableAndNoOrders)
{
    ASSERT_NE(tabs(), nullptr);
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_TRUE(tabs()->isTabEnabled(0));
    EXPECT_FALSE(tabs()->isTabEnabled(1));
    EXPECT_FALSE(tabs()->isTabEnabled(2));
    // A click on a tab that is not selectable changes nothing.
    QTabBar* bar = tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(tabs()->currentIndex(), 0);
    // ShrinkForm gives the compact height whatever tab shows.
    d.navigation.showOnly(1);
    control.ShrinkForm();
    EXPECT_EQ(tabs()->height(), twipsToPixels(4815));
    EXPECT_EQ(control.height(), twipsToPixels(4815));
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(ControlFixture, TheSegmentIsAPropertyAndTheDelayHandlerFreesViewAll)
{
    EXPECT_TRUE(control.setProperty("CurrentSegmentNumber", 3)); // hosts may set it as a property
    EXPECT_EQ(control.CurrentSegmentNumber(), 3);
    d.screen.cmdViewAll->setEnabled(false);
    EXPECT_EQ(control.HandleVendorDetailsDelay(), nullptr);
    EXPECT_TRUE(d.screen.cmdViewAll->isEnabled());
}

TEST_F(ControlFixture, HeaderClicksSortByTheRuleOfTheColumnHandlers)
{
    ListView* vendors = d.screen.lstVendors;
    vendors->addRows({{"9", "Zeta"}, {"10", "alpha"}, {"2", "Mid"}});
    EXPECT_EQ(test::ControlRig::column(*vendors, 0), (QStringList{"10", "2", "9"})); // text order
    clickHeader(*vendors, 1); // "Name of Vendor": new column, direction kept
    EXPECT_EQ(test::ControlRig::column(*vendors, 1), (QStringList{"alpha", "Mid", "Zeta"}));
    clickHeader(*vendors, 1); // same column again: reversed
    EXPECT_EQ(test::ControlRig::column(*vendors, 1), (QStringList{"Zeta", "Mid", "alpha"}));
    clickHeader(*vendors, 0); // another column keeps the descending direction
    EXPECT_EQ(test::ControlRig::column(*vendors, 0), (QStringList{"9", "2", "10"}));
    EXPECT_EQ(vendors->sortOrder(), Qt::DescendingOrder);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(ControlFixture, SortingTheSelectedOrdersClearsTheLineItemCellsOnlyAnEmptyListOnlyItsSettings)
{
    FlexGrid* grid = d.screen.grdOrdItems;
    grid->setCols(4);
    grid->setRows(3);
    grid->setText(0, 1, QStringLiteral("Line Item"));
    grid->setText(2, 3, QStringLiteral("Widget"));
    d.screen.lstSelectedPOs->addRows({{"2", "5", "Main (1)"}, {"1", "3", "Side (2)"}});
    d.navigation.showOnly(1); // a page whose tab is not selectable takes no clicks
    clickHeader(*d.screen.lstSelectedPOs, 0);
    EXPECT_EQ(test::ControlRig::column(*d.screen.lstSelectedPOs, 0), (QStringList{"2", "1"}));
    EXPECT_EQ(grid->rows(), 3);
    EXPECT_EQ(grid->cols(), 4);
    EXPECT_TRUE(grid->text(0, 1).isEmpty());
    EXPECT_TRUE(grid->text(2, 3).isEmpty());
    // Sorting an empty list changes only its sort settings.
    ListView* all = d.screen.lstAllSelectedPOs;
    d.navigation.showOnly(2);
    clickHeader(*all, 3);
    EXPECT_EQ(all->sortColumn(), 3);
    EXPECT_EQ(all->sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(all->count(), 0);
}

TEST_F(ControlFixture, TimeOutsOfLessThanOneMillisecondAreRefusedWithAReport)
{
    struct Case
    {
        const char* property;
        int value;
        int expected;
    };
    const Case cases[] = {{"connectTimeout", 1, 1}, {"connectTimeout", 0, 1},   {"callTimeout", 1, 1},
                          {"callTimeout", 0, 1},    {"callTimeout", -5, 1},     {"callTimeout", 250, 250}};
    int reports = 0;
    QSignalSpy connectChanges(&control, &Palletry::connectTimeoutChanged);
    QSignalSpy callChanges(&control, &Palletry::callTimeoutChanged);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.property) + " " + std::to_string(c.value));
        control.setProperty(c.property, c.value);
        EXPECT_EQ(control.property(c.property).toInt(), c.expected);
        reports += c.value < 1;
        palletry::test::settle();
        EXPECT_EQ(rig.recorder.errorReportCount(), reports);
    }
    // Told only of a value taken that differs from the one before.
    EXPECT_EQ(connectChanges.size(), 1);
    EXPECT_EQ(callChanges.size(), 2);
}

// Members of a named class: clang's sanitizer build with coverage cannot emit a free coroutine.
namespace palletry::test {

struct AsideActions
{
    Task<void> awaitAside(AsideRunner* runner, std::function<void()> work, bool* resumed);
    Task<void> nothing();
};

Task<void> AsideActions::awaitAside(AsideRunner* runner, std::function<void()> work, bool* resumed)
{
    Aside aside(runner, std::move(work));
    co_await aside;
    *resumed = true;
}

Task<void> AsideActions::nothing()
{
    co_return;
}

} // namespace palletry::test

TEST(AsideWork, RunsOnAWorkerThreadThenTheActionGoesOnOrIsDroppedWithTheControl)
{
    for (const bool destroyed : {false, true}) {
        SCOPED_TRACE(destroyed ? "control destroyed while the work runs" : "the action goes on");
        auto rig = std::make_unique<test::ControlRig>();
        std::promise<void> release;
        auto where = std::make_shared<std::thread::id>();
        const std::weak_ptr<std::thread::id> held = where;
        bool resumed = false;
        std::function<void()> work = [go = release.get_future().share(), where] {
            go.wait();
            *where = std::this_thread::get_id();
        };
        test::AsideActions actions;
        ASSERT_NE(rig->d.runner.start(actions.awaitAside(&rig->d.runner, std::move(work), &resumed)), 0u);
        EXPECT_EQ(rig->d.runner.start(actions.nothing()), 0u); // one action at a time, the waiting one included
        QTest::qWait(20);
        EXPECT_FALSE(resumed);
        EXPECT_TRUE(rig->d.runner.busy());
        if (destroyed)
            rig.reset();
        release.set_value();
        QThreadPool::globalInstance()->waitForDone();
        test::settle();
        EXPECT_NE(*where, std::this_thread::get_id());
        EXPECT_EQ(resumed, !destroyed);
        if (!destroyed)
            EXPECT_FALSE(rig->d.runner.busy());
        where.reset();
        EXPECT_TRUE(held.expired()); // the worker let go of what it held
    }
}
