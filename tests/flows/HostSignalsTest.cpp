// What the host hears: loadOpened, loadChanged and errorReported, with their
// arguments, as the clerk works against the reference service.

#include "support/ControlRig.h"
#include "support/QtPrinters.h"

#include <palletry_service/ReferenceService.h>

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace palletry;
using namespace palletry::test;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

struct HostSignals : ::testing::Test
{
    palletry_service::ReferenceService service;
    ControlRig rig;
    Palletry& control = rig.control;
    QSignalSpy opened{&control, &Palletry::loadOpened};
    QSignalSpy changed{&control, &Palletry::loadChanged};
    QSignalSpy errors{&control, &Palletry::errorReported};
    QVector<int> boxesSeenAtReport; ///< message boxes already shown when each errorReported arrived

    void SetUp() override
    {
        ASSERT_TRUE(service.start());
        QObject::connect(&control, &Palletry::errorReported, &control,
                         [this] { boxesSeenAtReport << rig.recorder.boxes().size(); });
    }

    QString server() const { return qs(service.serverName()); }

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

TEST_F(HostSignals, OpeningTellsWhetherEverythingCouldBeRead)
{
    control.LoadData(server(), service.demoLoadId());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0), (QList<QVariant>{service.demoLoadId(), true}));
    EXPECT_EQ(errors.size(), 0);

    // A load id the requests cannot carry: reported, and the open is not complete.
    control.LoadData(server(), 40000);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.at(1), (QList<QVariant>{40000, false}));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.at(0), (QList<QVariant>{6, QStringLiteral("Overflow"), QStringLiteral("prjPalletry LoadData")}));

    // The service gone: each of the three calls is reported, each before its box shows.
    service.stop();
    control.LoadData(server(), service.demoLoadId());
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened.at(2), (QList<QVariant>{service.demoLoadId(), false}));
    ASSERT_EQ(errors.size(), 4);
    EXPECT_EQ(boxesSeenAtReport, (QVector<int>{0, 1, 2, 3}));
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(errors.at(i).at(2).toString().endsWith(QStringLiteral(" ReturnWebserviceXML")));
    expectReportsMatchTheLog();
    EXPECT_EQ(changed.size(), 0);
}
