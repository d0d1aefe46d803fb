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

TEST_F(CallsInFlight, TheHostsTimerRunsWhileTheControlTakesNoInputAndStartsNothing)
{
    held = {{"GetVendorDataVendorMaster", true}};
    bool tried = false;
    onTick([&] {
        if (!d.callProgress->isVisible())
            return false;
        if (!tried) {
            tried = true;
            QTest::keyClicks(s.txtFindPO, QStringLiteral("5001")); // swallowed
            QTest::mouseClick(s.cmdViewAll, Qt::LeftButton); // swallowed: the control takes no input
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
    EXPECT_TRUE(s.txtFindPO->text().isEmpty());
    EXPECT_EQ(s.tabPalletry->currentIndex(), 0);
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
