// A call in flight leaves the host's window alive and the control closed to input; the
// clerk sees what is awaited and can cancel it, and a cancelled save writes no further.

#include "RelayFixture.h"

#include <QTimer>

using namespace palletry;
using namespace palletry::test;

namespace {

struct CallsInFlight : RelayFixture
{
    struct Report
    {
        int number;
        QString description, source;
    };
    std::vector<Report> reports;
    QString progressText;
    QTimer ticker;
    int ticks = 0;

    void SetUp() override
    {
        RelayFixture::SetUp();
        QObject::connect(&control, &Palletry::errorReported, [this](int n, const QString& text, const QString& src) {
            reports.push_back({n, text, src});
            // The cancelled transfer has ended: the relay may let go of the call it holds.
            if (n == 18)
                released = true;
        });
        ticker.setInterval(10);
    }
    /// Each tick of the host's timer runs @p duringCall until it says the call may end.
    void onTick(std::function<bool()> duringCall)
    {
        QObject::connect(&ticker, &QTimer::timeout, [this, duringCall] {
            ++ticks;
            const bool shown = d.callProgress->isVisible();
            if (shown && progressText.isEmpty())
                progressText = d.callProgress->lblCallProgress->text();
            if (duringCall() || ticks > 1500)
                released = true;
        });
        ticker.start();
    }
    void clickCancelOnceShown()
    {
        onTick([this] {
            if (d.callProgress->isVisible() && d.callProgress->cmdCancelCall->isEnabled())
                QTest::mouseClick(d.callProgress->cmdCancelCall, Qt::LeftButton);
            return false;
        });
    }
};

} // namespace

TEST_F(CallsInFlight, TheHostsTimerRunsWhileTheControlWaitsAndItsCallsStartNothing)
{
    held = {{"GetVendorDataVendorMaster", true}};
    bool tried = false;
    onTick([&] {
        if (!d.callProgress->isVisible())
            return false;
        if (!tried) {
            tried = true;
            control.LoadData(rig.server.serverName(), 1235); // a host's timer calling in: refused
            control.setCurrentSegmentNumber(9);
        }
        return true;
    });
    control.LoadData(rig.server.serverName(), Load);
    ticker.stop();

    // LoadData returned only after the relay let go, which only a tick does.
    EXPECT_TRUE(released);
    EXPECT_GT(ticks, 1);
    EXPECT_EQ(progressText, QStringLiteral("Reading the vendors… 0 s"));
    EXPECT_FALSE(d.callProgress->isVisible());
    EXPECT_EQ(control.CurrentSegmentNumber(), 0);
    EXPECT_EQ(sent(), (Texts{"GetVendorIncomingLoad", "GetVendorDataVendorMaster", "GetVendorHomeDeliverly"}));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].number, 10);
    EXPECT_EQ(reports[0].description, QStringLiteral("The control is waiting for the service: LoadData was not run"));
    EXPECT_EQ(reports[0].source, QStringLiteral("prjPalletry LoadData"));
    EXPECT_EQ(reports[1].source, QStringLiteral("prjPalletry setCurrentSegmentNumber"));
    EXPECT_GT(s.lstVendors->count(), 0);
}

TEST_F(CallsInFlight, CancelDuringAReadReportsOnceAndLeavesItsListEmpty)
{
    held = {{"GetVendorDataVendorMaster", false}};
    QVector<bool> opened;
    QObject::connect(&control, &Palletry::loadOpened, [&](qint32, bool complete) { opened << complete; });
    clickCancelOnceShown();
    control.LoadData(rig.server.serverName(), Load);
    ticker.stop();

    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].number, 18);
    EXPECT_EQ(reports[0].description,
              QStringLiteral("The clerk cancelled the call of GetVendorDataVendorMaster before the service answered"));
    EXPECT_EQ(reports[0].source, QStringLiteral("prjPalletry ReturnWebserviceXML"));
    EXPECT_EQ(s.lstVendors->count(), 0);
    EXPECT_EQ(s.txtTruckNumber->text(), QStringLiteral("TRK-1234"));
    EXPECT_EQ(opened, QVector<bool>{false});
}

TEST_F(CallsInFlight, CancelDuringASaveWritesNoFurtherAndNamesWhatTheServiceConfirmed)
{
    takeUp(QStringLiteral("5001"), 2);
    held = {{"AddPODetails", false}};
    sent();
    clickCancelOnceShown();
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    ticker.stop();

    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].number, 18);
    EXPECT_EQ(reports[0].description,
              QStringLiteral("The clerk cancelled the call of AddPODetails before the service answered; whether the "
                             "service carried it out is not known; the service had already confirmed AddPO"));
    EXPECT_EQ(successes(), 0);
    // The service holds the registration it confirmed and nothing else.
    EXPECT_EQ(loadsOf("5001"), (Rows{{"1002", "1"}, {"1003", "2"}, {"1234", "3"}}));
    EXPECT_TRUE(details("5001").empty());
    const Texts ops = sent();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.back(), "GetVendorHomeDeliverly"); // the screen is read again
}

TEST_F(CallsInFlight, NoKeyClickOrShortcutReachesTheControlWhileASaveWaits)
{
    // Counts what gets past the control's own guard to its widgets (the guard sees events first).
    struct Reached : QObject
    {
        int n = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            const QEvent::Type t = event->type();
            n += t == QEvent::KeyPress || t == QEvent::MouseButtonPress || t == QEvent::Shortcut;
            return false;
        }
    } reached;
    takeUp(QStringLiteral("5001"), 2);
    held = {{"AddPODetails", true}};
    for (QWidget* w : std::initializer_list<QWidget*>{s.txtUnitWeight, s.grdOrdItems, s.cmdCancelVendorDetails})
        w->installEventFilter(&reached);
    bool tried = false;
    int duringCall = -1;
    onTick([&] {
        if (!d.callProgress->isVisible())
            return false;
        if (!std::exchange(tried, true)) {
            reached.n = 0;
            QTest::keyClick(s.txtUnitWeight, Qt::Key_9);
            QTest::keyClick(s.grdOrdItems, Qt::Key_Up);
            QTest::mouseClick(s.cmdCancelVendorDetails, Qt::LeftButton);
            QTest::keyClick(&control, Qt::Key_C, Qt::AltModifier); // "&Cancel"
            QTest::keyClick(&control, Qt::Key_L, Qt::AltModifier); // the line items
            duringCall = reached.n;
        }
        return true;
    });
    save(QStringLiteral("7"), QStringLiteral("1.5"));
    ticker.stop();
    EXPECT_EQ(duringCall, 0);
    EXPECT_EQ(details("5001"), (Rows{{"3", "2", "1.5"}}));
    EXPECT_EQ(s.tabPalletry->currentIndex(), 1);
    EXPECT_EQ(successes(), 1);
}
