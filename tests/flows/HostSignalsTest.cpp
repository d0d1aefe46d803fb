// What the host hears: loadOpened, loadChanged and errorReported, with their
// arguments, as the clerk opens a load, saves, has a save refused and removes an order.

#include "ClerkFixture.h"

#include <QSignalSpy>

using namespace palletry;
using namespace palletry::test;

namespace {

struct HostSignals : ClerkFixture
{
    // Made before SetUp, so they hear the fixture's LoadData too.
    QSignalSpy opened{&control, &Palletry::loadOpened};
    QSignalSpy changed{&control, &Palletry::loadChanged};
    QSignalSpy errors{&control, &Palletry::errorReported};
    QVector<int> boxesSeenAtReport; ///< message boxes already shown when each errorReported arrived
    HostSignals()
    {
        QObject::connect(&control, &Palletry::errorReported, &control,
                         [this] { boxesSeenAtReport << rig.recorder.boxes().size(); });
    }
    QString server() const { return QString::fromStdString(service.serverName()); }
    /// Each errorReported carries the number, description and source line of its log entry.
    void expectReportsMatchTheLog()
    {
        const QStringList log = rig.recorder.logTexts();
        ASSERT_EQ(log.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i) {
            const QList<QVariant>& report = errors.at(i);
            EXPECT_TRUE(log[i].contains(QStringLiteral("Error Number - %1\r\nError Description - %2\r\nError Source - %3\r\n")
                                            .arg(report.at(0).toInt())
                                            .arg(report.at(1).toString(), report.at(2).toString())))
                << log[i].toStdString();
        }
    }
};

} // namespace

TEST_F(HostSignals, TheHostHearsOpensAcceptedWritesAndEveryReport)
{
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0), (QList<QVariant>{Load, true}));
    // A save: AddPO and AddPODetails accepted, one loadChanged once the save has ended.
    openVendor(QStringLiteral("42"));
    click(s.cmdSelectAll);
    openOrder(QStringLiteral("5001"));
    sent();
    QVector<int> boxesAtChange;
    QObject::connect(&control, &Palletry::loadChanged, &control,
                     [&] { boxesAtChange << rig.recorder.boxes().size(); });
    const int boxesBefore = rig.recorder.boxes().size();
    save(QStringLiteral("7"), QStringLiteral("12.5"));
    sent();
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(boxesAtChange, QVector<int>{boxesBefore + 1}); // after the success message
    EXPECT_EQ(errors.size(), 0);
    // A save the service refuses (the line item went away meanwhile): reported, the load did not change.
    clickCell(*s.grdOrdItems, 2, 1);
    service.query("DELETE FROM LineItems WHERE OrderID = '5001' AND LineItem = 2");
    save(QStringLiteral("7"), QStringLiteral("3"));
    EXPECT_EQ(sent().at(2), "AddPODetails");
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(successes(), 1); // no message claims the refused save
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.at(0).at(1).toString().contains(QStringLiteral("has no line item 2")));
    EXPECT_EQ(errors.at(0).at(2).toString(), QString::fromStdString(service.url()) + QStringLiteral(" ReturnWebserviceXML"));
    click(s.cmdFinished);
    click(s.cmdViewAll);
    clickRow(*s.lstAllSelectedPOs, rowOf(*s.lstAllSelectedPOs, QStringLiteral("5001")));
    click(s.cmdRemovePO);
    EXPECT_EQ(sent().at(1), "DeletePO");
    EXPECT_EQ(changed.size(), 2);
    // A load id the requests cannot carry: reported, and the open is not complete.
    control.LoadData(server(), 40000);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.at(1), (QList<QVariant>{40000, false}));
    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors.at(1), (QList<QVariant>{6, QStringLiteral("Overflow"), QStringLiteral("prjPalletry LoadData")}));
    // A login page answers every read: each is reported as a failed call, each before its box
    // shows; the screen keeps nothing of the load before, not even a vendor to send.
    rig.server.setReply(CannedReply::xml("<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><form>Sign in</form></body></html>"));
    s.lstAllSelectedPOs->addRow({QStringLiteral("0000ABC1234")});
    const int boxesBeforeStop = rig.recorder.boxes().size();
    control.LoadData(rig.server.serverName(), 77);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened.at(2), (QList<QVariant>{77, false}));
    ASSERT_EQ(errors.size(), 5);
    EXPECT_EQ(boxesSeenAtReport.mid(2), (QVector<int>{boxesBeforeStop, boxesBeforeStop + 1, boxesBeforeStop + 2}));
    for (int i = 2; i < 5; ++i)
        EXPECT_TRUE(errors.at(i).at(2).toString().endsWith(QLatin1String(" ReturnWebserviceXML")));
    expectReportsMatchTheLog();
    EXPECT_EQ(s.txtLoadID->text(), QStringLiteral("77"));
    EXPECT_EQ(s.lstVendors->count(), 0);
    EXPECT_EQ(s.lstAllSelectedPOs->count(), 0);
    EXPECT_TRUE(s.txtTruckNumber->text().isEmpty());
    EXPECT_EQ(d.state.SelectedVendorID, 0);
    EXPECT_EQ(changed.size(), 2);
}
