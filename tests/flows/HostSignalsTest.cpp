// What the host hears: loadOpened, loadChanged and errorReported, with their
// arguments, as the clerk opens a load, saves, has a save refused and removes an order.

#include "ClerkFixture.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTimer>
#include <QTranslator>

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
                         [this] { boxesSeenAtReport << rig.recorder.boxesSoFar().size(); });
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
                     [&] { boxesAtChange << rig.recorder.boxesSoFar().size(); });
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
    EXPECT_EQ(errors.at(0).at(3).value<Palletry::ErrorKind>(), Palletry::ErrorKind::SoapFault);
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
    EXPECT_EQ(errors.at(1), (QList<QVariant>{6, QStringLiteral("Overflow"), QStringLiteral("prjPalletry LoadData"),
                                             QVariant::fromValue(Palletry::ErrorKind::RunTime)}));
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
    for (int i = 2; i < 5; ++i) {
        EXPECT_TRUE(errors.at(i).at(2).toString().endsWith(QLatin1String(" ReturnWebserviceXML")));
        EXPECT_EQ(errors.at(i).at(3).value<Palletry::ErrorKind>(), Palletry::ErrorKind::HttpStatus);
    }
    expectReportsMatchTheLog();
    EXPECT_EQ(s.txtLoadID->text(), QStringLiteral("77"));
    EXPECT_EQ(s.lstVendors->count(), 0);
    EXPECT_EQ(s.lstAllSelectedPOs->count(), 0);
    EXPECT_TRUE(s.txtTruckNumber->text().isEmpty());
    EXPECT_EQ(d.state.SelectedVendorID, 0);
    EXPECT_EQ(changed.size(), 2);
}

namespace {

/// Every message the host hears, with whether a box was already up when it heard it.
struct Heard
{
    QStringList messages;
    QVector<bool> boxUp;
    int boxes = 0; ///< boxes that came up and were answered
    explicit Heard(Palletry& control)
    {
        QObject::connect(&control, &Palletry::messageShown, &control, [this](const QString& text, const QString& title, int icon, Palletry::MessageKind kind) {
            messages << QStringLiteral("%1|%2|%3|%4").arg(text, title).arg(icon).arg(int(kind));
            boxUp << (QApplication::activeModalWidget() != nullptr);
            // A box shown after this is answered as soon as it waits for the clerk.
            QTimer::singleShot(0, [this] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    ++boxes;
                    box->accept();
                }
            });
        });
    }
};

bool anyBox()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(window))
            return true;
    return false;
}

} // namespace

TEST_F(HostSignals, MessagesReachTheHostWithOrWithoutBoxesAndTheSegmentTellsItsChanges)
{
    Palletry own; // no recorder: real boxes, or none
    Screen& screen = Palletry::Private::get(&own)->screen;
    own.show();
    Heard heard(own);
    const QString failed = ErrorReport::prompt() + QStringLiteral("|prjPalletry|1|0"); // the icon is the original's, the kind says Error
    own.setMessageBoxes(false);
    own.LoadData(QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::unusedPort()), Load);
    own.SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
    own.LoadData(server(), Load);
    EXPECT_EQ(own.property("loadId").toInt(), Load);
    EXPECT_EQ(own.property("serverName").toString(), server());
    QVector<qint16> segments;
    QObject::connect(&own, &Palletry::currentSegmentNumberChanged, [&](qint16 segment) { segments << segment; });
    clickRow(*screen.lstVendors, rowOf(*screen.lstVendors, QStringLiteral("42")));
    click(screen.cmdViewDetails);
    click(screen.cmdSelectAll);
    clickRow(*screen.lstSelectedPOs, rowOf(*screen.lstSelectedPOs, QStringLiteral("5001")));
    clickCell(*screen.grdOrdItems, 2, 1);
    type(screen.txtUnitWeight, QStringLiteral("2"));
    click(screen.cmdSaveVendorDetails); // no cartons typed
    type(screen.txtNumberOfCartons, QStringLiteral("4"));
    click(screen.cmdSaveVendorDetails);
    EXPECT_EQ(heard.boxes, 0);
    EXPECT_FALSE(anyBox());
    EXPECT_EQ(heard.messages, (QStringList{failed, failed, failed,
                                           QStringLiteral("Number of cartons has been left blank.|prjPalletry|0|1"),
                                           QStringLiteral("Data has been saved successfully!!!|prjPalletry|1|3")}));
    EXPECT_EQ(heard.boxUp, QVector<bool>(5, false));
    // Taking up the same order keeps its segment; another, not on the load, has none.
    clickRow(*screen.lstSelectedPOs, rowOf(*screen.lstSelectedPOs, QStringLiteral("5001")));
    clickRow(*screen.lstSelectedPOs, rowOf(*screen.lstSelectedPOs, QStringLiteral("00000005002")));
    EXPECT_EQ(segments, (QVector<qint16>{3, 0}));
    // With boxes, the host hears each message before its box is up.
    own.setMessageBoxes(true);
    own.LoadData(QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::unusedPort()), Load);
    EXPECT_EQ(heard.messages.size(), 8);
    EXPECT_EQ(heard.boxUp.mid(5), QVector<bool>(3, false));
    EXPECT_EQ(heard.boxes, 3);
    EXPECT_FALSE(anyBox());
}

TEST_F(HostSignals, ALanguageChangeRetranslatesAndTheServiceCategoryLogsOneLinePerCall)
{
    QTranslator spanish;
    ASSERT_TRUE(spanish.load(QLocale(QLocale::Spanish), QStringLiteral("palletry"), QStringLiteral("_"),
                             QStringLiteral(":/palletry/i18n")));
    QCoreApplication::installTranslator(&spanish);
    QCoreApplication::processEvents();
    const QString spanishTab = s.tabPalletry->tabText(1);
    const QString spanishHeading = s.lstVendors->model()->headerData(1, Qt::Horizontal).toString();
    QCoreApplication::removeTranslator(&spanish);
    QCoreApplication::processEvents();
    EXPECT_EQ(spanishTab, QStringLiteral("Detalles del proveedor"));
    EXPECT_NE(spanishHeading, QStringLiteral("Name of Vendor"));
    EXPECT_EQ(s.tabPalletry->tabText(1), QStringLiteral("Vendor Details"));
    EXPECT_EQ(s.lstVendors->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name of Vendor"));

    static QStringList lines;
    lines.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("palletry.service.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
        if (QLatin1String(context.category) == QLatin1String("palletry.service"))
            lines << text;
    });
    control.LoadData(server(), Load);
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("GetVendorDataVendorMaster: "))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QLatin1String(" bytes received, HTTP 200, libcurl 0, ")));
    EXPECT_FALSE(lines.join(QString()).contains(QLatin1String("Example Vendor"))); // never a body
}
