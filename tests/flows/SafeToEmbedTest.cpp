// A host does what Qt allows while the control works: closes or deletes its window from
// any slot, the control's own signals included, calls it back, quits. None of it may crash,
// send a write afterwards, or send a write anywhere but where the clerk's action began.

#include "RelayFixture.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>

using namespace palletry;
using namespace palletry::test;

namespace {

struct SafeToEmbed : RelayFixture
{
    /// The host's own window with a control of its own on it, on the same relay.
    QPointer<QWidget> window;
    QPointer<Palletry> embedded;
    Screen* screen = nullptr;

    void SetUp() override
    {
        RelayFixture::SetUp();
        openHost();
    }
    /// A fresh host window, and 5001 off this load again, as before any row.
    void openHost()
    {
        delete window;
        service.query("DELETE FROM OrderSegments WHERE OrderID = '5001' AND IncomingLoadID = 1234");
        service.query("DELETE FROM LineItemDetails WHERE OrderID = '5001'");
        window = new QWidget;
        window->setAttribute(Qt::WA_DeleteOnClose);
        embedded = new Palletry(window);
        (new QVBoxLayout(window))->addWidget(embedded);
        embedded->setMessageBoxes(false);
        embedded->SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
        screen = &Palletry::Private::get(embedded)->screen;
        window->show();
        embedded->LoadData(rig.server.serverName(), Load);
        service.clearRequests();
    }
    void TearDown() override
    {
        released = true;
        delete window;
    }
    /// The clerk on the host's control: vendor 42's orders, 5001 taken up, line item 2 typed in.
    void clerkEntersALineItem()
    {
        clickRow(*screen->lstVendors, rowOf(*screen->lstVendors, QStringLiteral("42")));
        click(screen->cmdViewDetails);
        click(screen->cmdSelectAll);
        clickRow(*screen->lstSelectedPOs, rowOf(*screen->lstSelectedPOs, QStringLiteral("5001")));
        clickCell(*screen->grdOrdItems, 2, 1);
        type(screen->txtNumberOfCartons, QStringLiteral("7"));
        type(screen->txtUnitWeight, QStringLiteral("12.5"));
        service.clearRequests();
    }
    /// Waits (bounded) until the host's window is gone, then lets the relay go and the event loop settle.
    void waitUntilGone()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, 10000));
        released = true;
        QTest::qWait(300); // an answer still on the wire arrives and is dropped
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

// Each row: what the relay holds back, what the host does and when, and what must never
// reach the service once the control is gone.
TEST_F(SafeToEmbed, TheHostMayDestroyTheControlAtAnyMomentOfAnAction)
{
    struct Case
    {
        const char* name;
        const char* hold;  ///< operation held on the wire when the host strikes (or none)
        bool save;         ///< the clerk saves the line item (else the host opens the load anew)
        std::function<void(SafeToEmbed&)> host;
        Texts neverSent;
    };
    const auto closeWindowLater = [](SafeToEmbed& t) { QTimer::singleShot(50, t.window, &QWidget::close); };
    const auto deleteFrom = [](auto signal) {
        return [signal](SafeToEmbed& t) {
            QObject::connect(t.embedded, signal, t.window, [&t] { delete t.window; });
        };
    };
    const Case cases[] = {
        {"window closed while LoadData reads the vendors", "GetVendorDataVendorMaster", false, closeWindowLater,
         {"GetVendorHomeDeliverly"}},
        {"window closed while a save waits for AddPO", "AddPO", true, closeWindowLater, {"AddPODetails"}},
        {"parent deleted from a host timer during AddPO", "AddPO", true,
         [](SafeToEmbed& t) { QTimer::singleShot(50, t.window, [&t] { delete t.window; }); }, {"AddPODetails"}},
        {"deleteLater on the control during AddPO", "AddPO", true,
         [](SafeToEmbed& t) { QTimer::singleShot(50, t.embedded, [&t] { t.embedded->deleteLater(); t.window->close(); }); },
         {"AddPODetails"}},
        {"delete from currentSegmentNumberChanged between AddPO and AddPODetails", nullptr, true,
         deleteFrom(&Palletry::currentSegmentNumberChanged), {"AddPODetails"}},
        {"delete from busyChanged as the save starts", nullptr, true, deleteFrom(&Palletry::busyChanged),
         {"GetVendorDetailsByOrderID", "AddPO", "AddPODetails"}},
        {"delete from messageShown (the success message)", nullptr, true, deleteFrom(&Palletry::messageShown), {}},
        {"delete from loadChanged", nullptr, true, deleteFrom(&Palletry::loadChanged), {}},
        {"delete from errorReported while LoadData fails", nullptr, false,
         [](SafeToEmbed& t) {
             t.instead["GetVendorIncomingLoad"] = lost;
             QObject::connect(t.embedded, &Palletry::errorReported, t.window, [&t] { delete t.window; });
         },
         {"GetVendorDataVendorMaster", "GetVendorHomeDeliverly"}},
        {"delete from loadOpened", nullptr, false, deleteFrom(&Palletry::loadOpened), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        released = true;
        openHost();
        released = false;
        held.clear();
        instead.clear();
        if (c.hold)
            held[c.hold] = true;
        if (c.save)
            clerkEntersALineItem();
        c.host(*this);
        if (c.save)
            QTest::mouseClick(screen->cmdSaveVendorDetails, Qt::LeftButton);
        else
            embedded->openLoad(rig.server.serverName(), Load);
        waitUntilGone();
        for (const std::string& op : sent())
            for (const std::string& never : c.neverSent)
                EXPECT_NE(op, never);
        EXPECT_TRUE(embedded.isNull());
    }
}

TEST_F(SafeToEmbed, AHostCallingBackDuringAnActionIsRefusedAndTheWriteLandsWhereItBegan)
{
    // "Follow the clerk": a host opening another load when the segment changes mid-save.
    clerkEntersALineItem();
    // Every member the host may call back with, each refused on its own, none of it done.
    const std::pair<const char*, std::function<void()>> members[] = {
        {"LoadData", [&] { embedded->LoadData(rig.server.serverName(), 1235); }},
        {"LoadData", [&] { embedded->openLoad(rig.server.serverName(), 1235); }},
        {"setCurrentSegmentNumber", [&] { embedded->setCurrentSegmentNumber(9); }},
        {"SetPersonInformation", [&] { embedded->SetPersonInformation(QStringLiteral("99"), QStringLiteral("9")); }},
        {"ShrinkForm", [&] { embedded->ShrinkForm(); }},
        {"HandleVendorDetailsDelay", [&] { embedded->HandleVendorDetailsDelay(); }},
        {"ReturnWebserviceXML",
         [&] { EXPECT_TRUE(embedded->ReturnWebserviceXML(QString(), QString(), QString(), QString()).isEmpty()); }},
    };
    QVector<int> refusals;
    QStringList refused;
    QObject::connect(embedded, &Palletry::errorReported, embedded, [&](int number, const QString& description) {
        refusals << number;
        refused << description;
    });
    const int heightBefore = embedded->height();
    QObject::connect(embedded, &Palletry::currentSegmentNumberChanged, embedded, [&] {
        for (const auto& member : members)
            member.second();
    });
    QSignalSpy messages(embedded, &Palletry::messageShown);
    click(screen->cmdSaveVendorDetails);
    EXPECT_EQ(refusals, QVector<int>(std::size(members), 10));
    for (std::size_t i = 0; i < std::size(members) && i < std::size_t(refused.size()); ++i)
        EXPECT_EQ(refused[int(i)], QStringLiteral("The control is waiting for the service: %1 was not run")
                                       .arg(QLatin1String(members[i].first)));
    EXPECT_EQ(embedded->height(), heightBefore);
    // The line item stands on this load's new segment, saved by person 15; nothing was read for load 1235.
    EXPECT_EQ(details("5001"), (Rows{{"3", "2", "12.5"}}));
    EXPECT_EQ(rowsOf("SELECT PersonID FROM LineItemDetails WHERE OrderID = '5001'"), (Rows{{"15"}}));
    for (const auto& request : service.requests())
        EXPECT_EQ(request.body.find("<IncomingLoadID>1235<"), std::string::npos);
    EXPECT_EQ(embedded->CurrentSegmentNumber(), 3);
    EXPECT_EQ(screen->txtLoadID->text(), QStringLiteral("1234"));
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last().at(0).toString(), QStringLiteral("Data has been saved successfully!!!"));

    // A host retrying another load from errorReported while this one fails its first read: refused,
    // so the screen, the orders and the service's requests all describe load 1234 alone.
    QObject::disconnect(embedded, &Palletry::currentSegmentNumberChanged, nullptr, nullptr);
    bool retried = false; // once: the refusal is an error report too
    QObject::connect(embedded, &Palletry::errorReported, embedded, [&] {
        if (!std::exchange(retried, true))
            embedded->LoadData(rig.server.serverName(), 1235);
    });
    instead["GetVendorIncomingLoad"] = lost;
    refusals.clear();
    service.clearRequests();
    QSignalSpy opened(embedded, &Palletry::loadOpened);
    embedded->LoadData(rig.server.serverName(), Load);
    EXPECT_EQ(refusals, (QVector<int>{502, 10}));
    EXPECT_EQ(screen->txtLoadID->text(), QStringLiteral("1234"));
    EXPECT_TRUE(screen->txtTruckNumber->text().isEmpty());
    EXPECT_EQ(embedded->ordersOnLoad().size(), screen->lstAllSelectedPOs->count());
    for (const auto& request : service.requests())
        EXPECT_EQ(request.body.find("<IncomingLoadID>1235<"), std::string::npos);
    EXPECT_EQ(sent(), (Texts{"GetVendorIncomingLoad", "GetVendorDataVendorMaster", "GetVendorHomeDeliverly"}));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.at(0), (QList<QVariant>{1235, false})); // the refused one
    EXPECT_EQ(opened.at(1), (QList<QVariant>{Load, false}));
}

TEST_F(SafeToEmbed, AWindowClosedUnderAMessageBoxTakesTheBoxAlong)
{
    embedded->setMessageBoxes(true);
    clickRow(*screen->lstVendors, rowOf(*screen->lstVendors, QStringLiteral("42")));
    click(screen->cmdViewDetails);
    type(screen->txtNumberOfCartons, QString());
    service.clearRequests();
    QTimer::singleShot(0, embedded, [this] { QTest::mouseClick(screen->cmdSaveVendorDetails, Qt::LeftButton); });
    QPointer<QMessageBox> box;
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(box = Palletry::Private::get(embedded)->messageBoxes.openBox()); }));
    EXPECT_TRUE(embedded->busy()); // the box is a step of the save
    EXPECT_EQ(box->text(), QStringLiteral("Number of cartons has been left blank."));
    window->close();
    waitUntilGone();
    EXPECT_TRUE(box.isNull());
    EXPECT_TRUE(sent().empty());
}

TEST_F(SafeToEmbed, QuitDuringACallReturnsAtOnceAndWritesNoFurther)
{
    // A window that only hides on close: the control outlives exec(), so quitting itself must end the action.
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    clerkEntersALineItem();
    held["AddPO"] = true;
    QTimer::singleShot(0, embedded, [this] { QTest::mouseClick(screen->cmdSaveVendorDetails, Qt::LeftButton); });
    QTimer::singleShot(200, qApp, &QCoreApplication::quit);
    QTimer giveUp; // a hung exec() would end here
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [this] { released = true; });
    giveUp.start(5000);
    qApp->exec();
    EXPECT_FALSE(released) << "exec() returned only when the relay let go";
    released = true;
    QTest::qWait(300);
    ASSERT_TRUE(embedded);
    EXPECT_FALSE(embedded->busy());
    const Texts ops = sent();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "AddPO"), 1);
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "AddPODetails"), 0);
}
