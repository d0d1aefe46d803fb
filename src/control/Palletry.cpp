#include <palletry/Palletry.h>

#include "control/Palletry_p.h"
#include "core/Conversion.h"
#include "core/Trap.h"
#include "screen/FlexGrid.h"
#include "soap/ServiceNamespace.h"
#include "soap/Unwrap.h"
#include "screen/ListView.h"
#include "screen/Twips.h"

#include <palletry_version.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace palletry;

// The public kind is the internal one, value for value.
static_assert(int(Palletry::ErrorKind::Transfer) == int(ErrorKind::Transfer)
              && int(Palletry::ErrorKind::HttpStatus) == int(ErrorKind::HttpStatus)
              && int(Palletry::ErrorKind::SoapFault) == int(ErrorKind::SoapFault)
              && int(Palletry::ErrorKind::RunTime) == int(ErrorKind::RunTime));
using MessageKind = MessageBoxRequest::Kind;
static_assert(int(Palletry::MessageKind::Error) == int(MessageKind::Error)
              && int(Palletry::MessageKind::Validation) == int(MessageKind::Validation)
              && int(Palletry::MessageKind::NotFound) == int(MessageKind::NotFound)
              && int(Palletry::MessageKind::Success) == int(MessageKind::Success));

Palletry::Private::Private(Palletry* control)
    : q(control)
    , messageBoxes(control)
    , errorReport(messageBoxes, eventLog)
    , soapCall(errorReport)
    , screen(control)
    , callProgress(new CallProgress(control))
    , runner(control, *callProgress, messageBoxes)
    , navigation(screen, *control)
    , sorting(screen, errorReport)
    , requests(soapCall, errorReport)
    , loaders(state, screen, errorReport, requests)
    , orderDetailsEntry({screen.grdOrdItems, screen.lblLineItem, screen.lblModel, screen.txtNumberOfCartons,
                         screen.txtUnitWeight, "grdOrdItems_Click()"},
                        messageBoxes, errorReport)
    , manualPOEntry({screen.grdManualPOItems, screen.lblManualPOLineItem, screen.lblManualPOModel,
                     screen.txtManualPONumberOfCartons, screen.txtManualPOUnitWeight, "grdManualPOItems_Click()"},
                    messageBoxes, errorReport)
    , recording(state, screen, errorReport, eventLog, requests, loaders)
    , vendorDetailsSaving(state, screen, errorReport, messageBoxes, loaders, navigation, recording,
                          orderDetailsEntry)
    , browsing(state, screen, errorReport, navigation, loaders)
    , orderMoves(state, screen, errorReport, loaders, orderDetailsEntry)
    , findPO(screen, errorReport, messageBoxes)
    , manualPO(state, screen, errorReport, messageBoxes, loaders, navigation, recording, manualPOEntry)
    , loadReview(state, screen, errorReport, messageBoxes, requests, loaders, navigation, manualPO)
    , loadSheet(screen, errorReport)
    , manifest(state, screen, errorReport, loadSheet)
    , opening(state, screen, errorReport, requests, loaders, navigation, manualPO, orderDetailsEntry,
              manualPOEntry)
{
    soapCall.setRunner(&runner);
    QObject::connect(&runner, &ActionRunner::busyChanged, control, &Palletry::busyChanged);
}

Palletry::Private::~Private()
{
    QObject::disconnect(focusLink);
    // The action's frames go while everything they point at is still there.
    runner.abandon();
}

void Palletry::Private::UserControl_Initialize()
{
    trap(errorReport, "UserControl_Initialize", [&] {
        QTabWidget& tabs = *screen.tabPalletry;
        tabs.setTabEnabled(0, true);
        tabs.setTabEnabled(1, false);
        tabs.setTabEnabled(2, false);
        tabs.setCurrentIndex(0);
        showVersion();
    });
}

void Palletry::Private::showVersion()
{
    screen.lblVersionNumber->setText(Palletry::tr("Version number: %1.%2.%3")
                                         .arg(PALLETRY_VERSION_MAJOR)
                                         .arg(PALLETRY_VERSION_MINOR)
                                         .arg(PALLETRY_VERSION_REVISION));
}

bool Palletry::Private::refusedWhileBusy(const char* member)
{
    if (!runner.busy())
        return false;
    errorReport.reportError(
        RuntimeError(RuntimeErrorCode::TemporarilyLocked,
                     QStringLiteral("The control is waiting for the service: %1 was not run").arg(QLatin1String(member)))
            .record(),
        QLatin1String(member));
    return true;
}

void Palletry::Private::scanIntoVendors()
{
    scanner.focus(screen.lstVendors);
}

quint64 Palletry::Private::openLoad(const QString& ptServerName, qint32 lLoadID)
{
    if (refusedWhileBusy("LoadData")) {
        messageBoxes.announce([this, lLoadID] { emit q->loadOpened(lLoadID, false); });
        return 0;
    }
    const quint64 reportsBefore = errorReport.count();
    return runner.start(opening.LoadData(ptServerName, lLoadID), [this, lLoadID, reportsBefore] {
        scanIntoVendors();
        emit q->loadOpened(lLoadID, errorReport.count() == reportsBefore);
    });
}

namespace {

Task<void> runNow(std::function<void()> handler)
{
    handler();
    co_return;
}

Task<void> writingAction(SoapCall& call, std::function<Task<void>()> handler)
{
    // The writes the service confirms in this action, named should the clerk cancel it.
    struct Scope
    {
        SoapCall& call;
        explicit Scope(SoapCall& c) : call(c) { call.beginAction(); }
        ~Scope() { call.endAction(); }
    } scope(call);
    co_await handler();
}

Task<void> returnInto(std::shared_ptr<QString> result, SoapCall& call, QString AsmxUrl, QString Host,
                      QString SOAPAction, QString SOAPEnvelope, bool UpdateAddDeleteOnly)
{
    *result = co_await call.ReturnWebserviceXML(AsmxUrl, Host, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly);
}

} // namespace

void Palletry::Private::act(std::function<void()> handler, std::function<void()> then)
{
    // Raised by the running action's own steps (a list refilled, a tab made current): part of that step.
    if (runner.insideAction()) {
        handler();
        return;
    }
    runner.start(runNow(std::move(handler)), std::move(then));
}

void Palletry::Private::act(std::function<Task<void>()> handler, std::function<void()> then)
{
    if (!runner.busy())
        runner.start(handler(), std::move(then));
}

void Palletry::Private::actWriting(std::function<Task<void>()> handler, std::function<void()> then)
{
    if (runner.busy())
        return;
    const quint64 before = requests.acceptedWrites();
    runner.start(writingAction(soapCall, std::move(handler)), [this, before, then] {
        if (then)
            then();
        if (requests.acceptedWrites() != before)
            emit q->loadChanged();
    });
}

void Palletry::Private::connectHandlers()
{
    errorReport.setObserver([this](const ErrorRecord& error, const QString& label) {
        emit q->errorReported(error.number, error.description, ErrorReport::sourceText(error, label),
                              Palletry::ErrorKind(int(error.kind)));
    });
    messageBoxes.setObserver([this](const MessageBoxRequest& message) {
        emit q->messageShown(message.prompt, message.title, int(message.icon), Palletry::MessageKind(int(message.kind)));
    });
    state.CurrentSegmentNumber.setListener([this](qint16 segment) {
        // Within an action the host hears it in turn with the action's other news, never from inside its steps.
        if (runner.busy())
            messageBoxes.announce([this, segment] { emit q->currentSegmentNumberChanged(segment); });
        else
            emit q->currentSegmentNumberChanged(segment);
    });

    using Handler = std::function<void()>;
    using Waiting = std::function<Task<void>()>;
    // Keys do what clicks do: Enter opens a row where a double click does, or where the click does.
    screen.lstProspectivePOs->setEnterOpensRow(true);
    screen.lstSelectedPOs->setEnterOpensRow(true);
    screen.lstAllSelectedPOs->setEnterOpensRow(true);
    screen.addAccessKeys(q, [this] { return !runner.busy(); });
    // Scanner entry: Enter goes on to the next step, and each step leaves the focus where the next scan goes.
    const auto takeUpLine = [this](LineItemEntry& entry, bool byEnter) {
        act(Handler([&entry] { entry.gridClick(); }), [this, &entry, byEnter] {
            if (byEnter)
                scanner.focus(entry.nextField());
        });
    };
    scanner.watch(screen.lstVendors, screen.cmdViewDetails);
    scanner.watch(screen.txtFindPO, screen.cmdFind);
    scanner.watch(screen.txtAddPO, screen.cmdAddPO);
    scanner.watchNext(screen.txtNumberOfCartons, screen.txtUnitWeight);
    scanner.watch(screen.txtUnitWeight, screen.cmdSaveVendorDetails);
    scanner.watch(screen.grdOrdItems, [this, takeUpLine] { takeUpLine(orderDetailsEntry, true); });
    scanner.watchNext(screen.txtManualPONumberOfCartons, screen.txtManualPOUnitWeight);
    scanner.watch(screen.txtManualPOUnitWeight, screen.cmdManualPOSave);
    scanner.watch(screen.grdManualPOItems, [this, takeUpLine] { takeUpLine(manualPOEntry, true); });
    const Handler intoVendors = [this] { scanIntoVendors(); };
    const Handler intoOrderEntry = [this] { scanner.focus(orderDetailsEntry.nextField()); };
    const Handler intoManualEntry = [this] { scanner.focus(manualPOEntry.nextField()); };
    const Handler intoAddPO = [this] { scanner.focus(screen.txtAddPO); };

    QObject::connect(screen.tabPalletry, &QTabWidget::currentChanged, q, [this] { navigation.tabPalletry_Click(); });

    // Vendor browsing, moving orders, finding a PO.
    QObject::connect(screen.lstVendors, &ListView::rowClicked, q,
                     [this] { act(Handler([this] { browsing.lstVendors_Click(); })); });
    QObject::connect(screen.cmdViewDetails, &QPushButton::clicked, q, [this] {
        act(Waiting([this] { return browsing.cmdViewDetails_Click(); }),
            [this] { scanner.focus(screen.lstProspectivePOs); });
    });
    QObject::connect(screen.cmdViewAll, &QPushButton::clicked, q,
                     [this, intoAddPO] { act(Waiting([this] { return browsing.cmdViewAll_Click(); }), intoAddPO); });
    QObject::connect(screen.cmdSelect, &QPushButton::clicked, q,
                     [this] { act(Handler([this] { orderMoves.cmdSelect_Click(); })); });
    QObject::connect(screen.cmdSelectAll, &QPushButton::clicked, q,
                     [this] { act(Handler([this] { orderMoves.cmdSelectAll_Click(); })); });
    QObject::connect(screen.cmdRemove, &QPushButton::clicked, q,
                     [this] { act(Handler([this] { orderMoves.cmdRemove_Click(); })); });
    QObject::connect(screen.cmdRemoveAll, &QPushButton::clicked, q,
                     [this] { act(Handler([this] { orderMoves.cmdRemoveAll_Click(); })); });
    QObject::connect(screen.lstProspectivePOs, &ListView::rowDoubleClicked, q,
                     [this] { act(Handler([this] { orderMoves.lstProspectivePOs_DblClick(); })); });
    QObject::connect(screen.lstSelectedPOs, &ListView::rowClicked, q, [this, intoOrderEntry] {
        act(Waiting([this] { return orderMoves.lstSelectedPOs_Click(); }), intoOrderEntry);
    });
    QObject::connect(screen.txtFindPO, &QLineEdit::textChanged, q, [this] { findPO.txtFindPO_Change(); });
    QObject::connect(screen.cmdFind, &QPushButton::clicked, q,
                     [this] { act(Handler([this] { findPO.cmdFind_Click(); })); });

    // Line-item entry and saving on the vendor details.
    // The line item taken up is always the grid's current line, however the cursor got there.
    for (LineItemEntry* entry : {&orderDetailsEntry, &manualPOEntry}) {
        FlexGrid* grid = entry == &orderDetailsEntry ? screen.grdOrdItems : screen.grdManualPOItems;
        QObject::connect(grid, &FlexGrid::cellClicked, q, [entry, takeUpLine] { takeUpLine(*entry, false); });
        QObject::connect(grid, &FlexGrid::cursorMoved, q, [entry, takeUpLine] { takeUpLine(*entry, false); });
    }
    QObject::connect(screen.cmdSaveVendorDetails, &QPushButton::clicked, q, [this] {
        actWriting([this] { return vendorDetailsSaving.cmdSaveVendorDetails_Click(); },
                   [this] {
                       // Saved (the panel let go of its line item): the next one is chosen in the grid.
                       if (screen.lblLineItem->text().isEmpty())
                           scanner.focus(screen.grdOrdItems);
                   });
    });
    QObject::connect(screen.cmdCancelVendorDetails, &QPushButton::clicked, q, [this, intoVendors] {
        act(Handler([this] { vendorDetailsSaving.cmdCancelVendorDetails_Click(); }), intoVendors);
    });
    QObject::connect(screen.cmdFinished, &QPushButton::clicked, q, [this, intoVendors] {
        act(Handler([this] { vendorDetailsSaving.cmdFinished_Click(); }), intoVendors);
    });

    // Reviewing the whole load and adding a PO by hand.
    QObject::connect(screen.lstAllSelectedPOs, &ListView::rowDoubleClicked, q, [this, intoManualEntry] {
        act(Waiting([this] { return loadReview.lstAllSelectedPOs_DblClick(); }), intoManualEntry);
    });
    QObject::connect(screen.cmdRemovePO, &QPushButton::clicked, q,
                     [this] { actWriting([this] { return loadReview.cmdRemovePO_Click(); }); });
    QObject::connect(screen.cmdDone, &QPushButton::clicked, q,
                     [this, intoVendors] { act(Waiting([this] { return loadReview.cmdDone_Click(); }), intoVendors); });
    QObject::connect(screen.txtAddPO, &QLineEdit::textChanged, q, [this] { manualPO.txtAddPO_Change(); });
    // The application outlives the control, and the control's own widgets still change
    // focus while they are destroyed after this part: the destructor cuts this link first.
    focusLink = QObject::connect(qApp, &QApplication::focusChanged, q, [this](QWidget*, QWidget* now) {
        if (now == screen.txtAddPO)
            manualPO.txtAddPO_GotFocus();
    });
    QObject::connect(screen.cmdAddPO, &QPushButton::clicked, q, [this, intoManualEntry] {
        act(Waiting([this] { return manualPO.cmdAddPO_Click(); }), intoManualEntry);
    });
    QObject::connect(screen.cmdManualPOSave, &QPushButton::clicked, q, [this] {
        actWriting([this] { return manualPO.cmdManualPOSave_Click(); },
                   [this] {
                       // Saved (the panel closed): the next PO is scanned.
                       if (screen.fraAdPOManually->isHidden())
                           scanner.focus(screen.txtAddPO);
                   });
    });
    QObject::connect(screen.cmdManualPOCancel, &QPushButton::clicked, q, [this, intoAddPO] {
        act(Handler([this] { manualPO.cmdManualPOCancel_Click(); }), intoAddPO);
    });

    QObject::connect(screen.lstVendors, &ListView::columnHeaderClicked, q,
                     [this](int header) { act(Handler([this, header] { sorting.lstVendors_ColumnClick(header); })); });
    QObject::connect(screen.lstProspectivePOs, &ListView::columnHeaderClicked, q, [this](int header) {
        act(Handler([this, header] { sorting.lstProspectivePOs_ColumnClick(header); }));
    });
    QObject::connect(screen.lstSelectedPOs, &ListView::columnHeaderClicked, q, [this](int header) {
        act(Handler([this, header] { sorting.lstSelectedPOs_ColumnClick(header); }));
    });
    QObject::connect(screen.lstAllSelectedPOs, &ListView::columnHeaderClicked, q, [this](int header) {
        act(Handler([this, header] { sorting.lstAllSelectedPOs_ColumnClick(header); }));
    });
}

Palletry::Palletry(QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(this))
{
    resize(twipsToPixels(Screen::TabStripWidthTwips), twipsToPixels(Screen::DesignTabStripHeightTwips));
    d->UserControl_Initialize();
    d->connectHandlers();
    d->addLoadMenu();
}

Palletry::~Palletry() = default;

QSize Palletry::sizeHint() const
{
    return QSize(twipsToPixels(Screen::TabStripWidthTwips), d->screen.tabPalletry->height());
}

void Palletry::LoadData(const QString& ptServerName, qint32 lLoadID)
{
    if (const quint64 action = d->openLoad(ptServerName, lLoadID))
        d->runner.waitFor(action); // false: the control went away meanwhile; nothing more of it is touched
}

void Palletry::openLoad(const QString& ptServerName, qint32 lLoadID)
{
    d->openLoad(ptServerName, lLoadID);
}

bool Palletry::busy() const
{
    return d->runner.busy();
}

qint32 Palletry::loadId() const
{
    return d->state.LoadID;
}

QString Palletry::serverName() const
{
    return d->state.ServerName;
}

void Palletry::SaveData()
{
}

void Palletry::SetPersonInformation(const QString& PersonIDPassed, const QString& PersonTypeIDPassed)
{
    if (d->refusedWhileBusy("SetPersonInformation"))
        return;
    d->state.PersonID = PersonIDPassed;
    d->state.PersonTypeID = PersonTypeIDPassed;
}

void Palletry::ShrinkForm()
{
    if (d->refusedWhileBusy("ShrinkForm"))
        return;
    d->navigation.setHeights(Screen::SmallHeightTwips, Screen::SmallHeightTwips);
}

QObject* Palletry::HandleVendorDetailsDelay()
{
    if (d->refusedWhileBusy("HandleVendorDetailsDelay"))
        return nullptr;
    d->screen.cmdViewAll->setEnabled(true);
    return nullptr;
}

QString Palletry::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                                      const QString& SOAPEnvelope, bool UpdateAddDeleteOnly)
{
    if (d->refusedWhileBusy("ReturnWebserviceXML"))
        return QString();
    auto result = std::make_shared<QString>();
    const quint64 action =
        d->runner.start(returnInto(result, d->soapCall, AsmxUrl, Host, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly));
    d->runner.waitFor(action);
    return *result;
}

qint16 Palletry::CurrentSegmentNumber() const
{
    return d->state.CurrentSegmentNumber;
}

void Palletry::setCurrentSegmentNumber(qint16 value)
{
    if (d->refusedWhileBusy("setCurrentSegmentNumber"))
        return;
    d->state.CurrentSegmentNumber = value;
}

void Palletry::setEventLogFile(const QString& path)
{
    d->eventLog.setFile(path);
}

bool Palletry::scannerEntry() const
{
    return d->scanner.isOn();
}

void Palletry::setScannerEntry(bool on)
{
    if (on == d->scanner.isOn())
        return;
    d->scanner.setOn(on);
    emit scannerEntryChanged(on);
}

bool Palletry::messageBoxes() const
{
    return d->messageBoxes.showsBoxes();
}

void Palletry::setMessageBoxes(bool on)
{
    if (on == d->messageBoxes.showsBoxes())
        return;
    d->messageBoxes.setShowBoxes(on);
    emit messageBoxesChanged(on);
}

QList<HomeDelieveryUDT> Palletry::ordersOnLoad() const
{
    // Not the segment table, which a vendor's details empty and an answer without rows leaves as it was.
    return d->state.OrdersOnLoad;
}

namespace {

// A limit the host set, or the report of why it was not taken.
bool takeTimeout(Palletry::Private& d, const char* member, int milliseconds)
{
    if (milliseconds >= 1)
        return true;
    d.errorReport.reportError(
        RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                     QStringLiteral("A time-out of %1 ms was not taken: it must be at least 1 ms").arg(milliseconds))
            .record(),
        QLatin1String(member));
    return false;
}

} // namespace

int Palletry::connectTimeout() const
{
    return int(d->soapCall.limits().connectTimeoutMs);
}

void Palletry::setConnectTimeout(int milliseconds)
{
    if (!takeTimeout(*d, "setConnectTimeout", milliseconds))
        return;
    HttpLimits limits = d->soapCall.limits();
    if (limits.connectTimeoutMs == milliseconds)
        return;
    limits.connectTimeoutMs = milliseconds;
    d->soapCall.setLimits(limits);
    emit connectTimeoutChanged(milliseconds);
}

int Palletry::callTimeout() const
{
    return int(d->soapCall.limits().totalTimeoutMs);
}

void Palletry::setCallTimeout(int milliseconds)
{
    if (!takeTimeout(*d, "setCallTimeout", milliseconds))
        return;
    HttpLimits limits = d->soapCall.limits();
    if (limits.totalTimeoutMs == milliseconds)
        return;
    limits.totalTimeoutMs = milliseconds;
    d->soapCall.setLimits(limits);
    emit callTimeoutChanged(milliseconds);
}

QString Palletry::certificateAuthorities() const
{
    return QString::fromLocal8Bit(d->soapCall.limits().caFile);
}

void Palletry::setCertificateAuthorities(const QString& path)
{
    HttpLimits limits = d->soapCall.limits();
    if (limits.caFile == path.toLocal8Bit())
        return;
    limits.caFile = path.toLocal8Bit();
    d->soapCall.setLimits(limits);
    emit certificateAuthoritiesChanged(path);
}

QString Palletry::proxy() const
{
    return QString::fromUtf8(d->soapCall.limits().proxy);
}

void Palletry::setProxy(const QString& proxy)
{
    HttpLimits limits = d->soapCall.limits();
    if (limits.proxy == proxy.toUtf8())
        return;
    limits.proxy = proxy.toUtf8();
    d->soapCall.setLimits(limits);
    emit proxyChanged(proxy);
}

void Palletry::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        d->screen.retranslate();
        d->callProgress->retranslate();
        d->showVersion();
    }
    QWidget::changeEvent(event);
}

// The load on paper and in a spreadsheet.

void Palletry::Private::addLoadMenu()
{
    ListView* all = screen.lstAllSelectedPOs;
    auto* separator = new QAction(all);
    separator->setSeparator(true);
    auto* exportLoad = new QAction(Palletry::tr("Export load…"), all);
    exportLoad->setObjectName(QStringLiteral("actionExportLoad"));
    QObject::connect(exportLoad, &QAction::triggered, q, [this] { loadSheet.exportWithDialog(q, state.LoadID); });
    auto* printManifest = new QAction(Palletry::tr("Print manifest…"), all);
    printManifest->setObjectName(QStringLiteral("actionPrintManifest"));
    QObject::connect(printManifest, &QAction::triggered, q, [this] { manifest.printWithDialog(q); });
    all->addActions({separator, exportLoad, printManifest});
}

int Palletry::ordersOnLoadCount() const
{
    return d->screen.lstAllSelectedPOs->count();
}

int Palletry::cartonsOnLoadCount() const
{
    return d->loadSheet.cartonCount();
}

bool Palletry::exportLoadCsv(const QString& path)
{
    return d->loadSheet.exportCsv(path);
}

bool Palletry::saveLoadManifestPdf(const QString& path)
{
    return d->manifest.savePdf(path);
}

QImage Palletry::loadManifestPage(int page, int dotsPerInch)
{
    return d->manifest.pageImage(page, dotsPerInch);
}
