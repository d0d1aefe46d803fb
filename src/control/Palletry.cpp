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

Palletry::Private::Private(Palletry* control)
    : q(control)
    , messageBoxes(control)
    , errorReport(messageBoxes, eventLog)
    , soapCall(errorReport)
    , screen(control)
    , callProgress(new CallProgress(control))
    , runner(control, *callProgress)
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
{
    soapCall.setRunner(&runner);
    QObject::connect(&runner, &CallRunner::transferEnded, control, [this] {
        if (deleteAfterCall) {
            deleteAfterCall = false;
            q->deleteLater();
        }
    });
}

Palletry::Private::~Private()
{
    QObject::disconnect(focusLink);
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

void Palletry::Private::LoadData(const QString& ptServerName, qint32 lLoadID)
{
    if (refusedWhileBusy("LoadData")) {
        emit q->loadOpened(lLoadID, false);
        return;
    }
    const quint64 reportsBefore = errorReports;
    trap(errorReport, "LoadData", [&] {
        // Converted before anything changes: a load id the requests cannot carry leaves
        // the control exactly as it was.
        const qint16 loadId = toInt16(qint64(lLoadID));

        state.CurrentSegmentNumber = 0;
        state.MaxSegment = QStringLiteral("0");
        state.LoadID = lLoadID;
        state.ServiceUrl = ptServerName + QLatin1String(ServicePath);
        requests.setService(state.ServiceUrl, QLatin1String(ServiceNamespace) + QLatin1Char('/'));

        // Start from this load alone: nothing of a previous load may stay on screen
        // or be saved onto this one.
        for (QLineEdit* box : {screen.txtLoadID, screen.txtTruckNumber, screen.txtLoadDate, screen.txtDriver})
            box->clear();
        // A vendor list that stayed from another server would send its ids to this one.
        screen.lstVendors->clear();
        state.SelectedVendorID = 0;
        screen.lstProspectivePOs->clear();
        screen.lstSelectedPOs->clear();
        // The previous load's segments must not number this load's saves, even when
        // this load's orders cannot be read or it has none.
        if (state.OrderSegmentTable)
            state.OrderSegmentTable->resize(1);
        // Every entry in progress ends: nothing taken up on the previous load can be saved onto this one.
        if (screen.fraAdPOManually->isVisibleTo(screen.fraAdPOManually->parentWidget()))
            manualPO.cmdManualPOCancel_Click();
        for (LineItemEntry* entry : {&orderDetailsEntry, &manualPOEntry}) {
            entry->clear();
            entry->release(state);
        }
        Loaders::resetLineItemGrid(*screen.grdOrdItems);
        Loaders::resetLineItemGrid(*screen.grdManualPOItems);
        navigation.showOnly(0);

        using Unwrap::Operation;
        state.IncomingLoadXML = requests.read(Operation::GetVendorIncomingLoad,
                                              requests.GetVendorIncomingLoadSOAPEnvelope(loadId));
        state.VendorMasterXML = requests.read(Operation::GetVendorDataVendorMaster,
                                              requests.GetVendorDataVendorMasterSOAPEnvelope());
        state.HomeDeliverlyXML = requests.read(Operation::GetVendorHomeDeliverly,
                                               requests.GetVendorHomeDeliverlySOAPEnvelope(loadId));

        screen.txtLoadID->setText(QString::number(state.LoadID));
        loaders.LoadVendorIncomingLoad(state.IncomingLoadXML);
        loaders.LoadVendors(state.VendorMasterXML);
        loaders.LoadVendorHomeDeliverly(state.HomeDeliverlyXML);
        screen.cmdViewAll->setEnabled(screen.lstAllSelectedPOs->count() > 0);
        sorting.lstVendors_ColumnClick(2);
    });
    emit q->loadOpened(lLoadID, errorReports == reportsBefore);
}

void Palletry::Private::connectHandlers()
{
    errorReport.setObserver([this](const ErrorRecord& error, const QString& label) {
        ++errorReports;
        emit q->errorReported(error.number, error.description, ErrorReport::sourceText(error, label),
                              Palletry::ErrorKind(int(error.kind)));
    });
    messageBoxes.setObserver([this](const MessageBoxRequest& message) {
        emit q->messageShown(message.prompt, message.title, int(message.icon));
    });
    state.CurrentSegmentNumber.setListener([this](qint16 segment) { emit q->currentSegmentNumberChanged(segment); });

    scanner.watch(screen.txtFindPO, screen.cmdFind);
    scanner.watch(screen.txtAddPO, screen.cmdAddPO);
    scanner.watch(screen.txtUnitWeight, screen.cmdSaveVendorDetails);
    scanner.watch(screen.txtManualPOUnitWeight, screen.cmdManualPOSave);
    scanner.watch(screen.txtNumberOfCartons);
    scanner.watch(screen.txtManualPONumberOfCartons);

    QObject::connect(screen.tabPalletry, &QTabWidget::currentChanged, q, [this] { navigation.tabPalletry_Click(); });

    // Vendor browsing, moving orders, finding a PO.
    QObject::connect(screen.lstVendors, &ListView::rowClicked, q, [this] { browsing.lstVendors_Click(); });
    QObject::connect(screen.cmdViewDetails, &QPushButton::clicked, q, [this] { browsing.cmdViewDetails_Click(); });
    QObject::connect(screen.cmdViewAll, &QPushButton::clicked, q, [this] { browsing.cmdViewAll_Click(); });
    QObject::connect(screen.cmdSelect, &QPushButton::clicked, q, [this] { orderMoves.cmdSelect_Click(); });
    QObject::connect(screen.cmdSelectAll, &QPushButton::clicked, q, [this] { orderMoves.cmdSelectAll_Click(); });
    QObject::connect(screen.cmdRemove, &QPushButton::clicked, q, [this] { orderMoves.cmdRemove_Click(); });
    QObject::connect(screen.cmdRemoveAll, &QPushButton::clicked, q, [this] { orderMoves.cmdRemoveAll_Click(); });
    QObject::connect(screen.lstProspectivePOs, &ListView::rowDoubleClicked, q,
                     [this] { orderMoves.lstProspectivePOs_DblClick(); });
    QObject::connect(screen.lstSelectedPOs, &ListView::rowClicked, q, [this] { orderMoves.lstSelectedPOs_Click(); });
    QObject::connect(screen.txtFindPO, &QLineEdit::textChanged, q, [this] { findPO.txtFindPO_Change(); });
    QObject::connect(screen.cmdFind, &QPushButton::clicked, q, [this] { findPO.cmdFind_Click(); });

    // Line-item entry and saving on the vendor details.
    QObject::connect(screen.grdOrdItems, &FlexGrid::cellClicked, q, [this] { orderDetailsEntry.gridClick(); });
    QObject::connect(screen.cmdSaveVendorDetails, &QPushButton::clicked, q,
                     [this] { writing([this] { vendorDetailsSaving.cmdSaveVendorDetails_Click(); }); });
    QObject::connect(screen.cmdCancelVendorDetails, &QPushButton::clicked, q,
                     [this] { vendorDetailsSaving.cmdCancelVendorDetails_Click(); });
    QObject::connect(screen.cmdFinished, &QPushButton::clicked, q,
                     [this] { vendorDetailsSaving.cmdFinished_Click(); });

    // Reviewing the whole load and adding a PO by hand.
    QObject::connect(screen.lstAllSelectedPOs, &ListView::rowDoubleClicked, q,
                     [this] { loadReview.lstAllSelectedPOs_DblClick(); });
    QObject::connect(screen.cmdRemovePO, &QPushButton::clicked, q,
                     [this] { writing([this] { loadReview.cmdRemovePO_Click(); }); });
    QObject::connect(screen.cmdDone, &QPushButton::clicked, q, [this] { loadReview.cmdDone_Click(); });
    QObject::connect(screen.txtAddPO, &QLineEdit::textChanged, q, [this] { manualPO.txtAddPO_Change(); });
    // The application outlives the control, and the control's own widgets still change
    // focus while they are destroyed after this part: the destructor cuts this link first.
    focusLink = QObject::connect(qApp, &QApplication::focusChanged, q, [this](QWidget*, QWidget* now) {
        if (now == screen.txtAddPO)
            manualPO.txtAddPO_GotFocus();
    });
    QObject::connect(screen.cmdAddPO, &QPushButton::clicked, q, [this] { manualPO.cmdAddPO_Click(); });
    QObject::connect(screen.grdManualPOItems, &FlexGrid::cellClicked, q, [this] { manualPOEntry.gridClick(); });
    QObject::connect(screen.cmdManualPOSave, &QPushButton::clicked, q,
                     [this] { writing([this] { manualPO.cmdManualPOSave_Click(); }); });
    QObject::connect(screen.cmdManualPOCancel, &QPushButton::clicked, q,
                     [this] { manualPO.cmdManualPOCancel_Click(); });

    QObject::connect(screen.lstVendors, &ListView::columnHeaderClicked, q,
                     [this](int header) { sorting.lstVendors_ColumnClick(header); });
    QObject::connect(screen.lstProspectivePOs, &ListView::columnHeaderClicked, q,
                     [this](int header) { sorting.lstProspectivePOs_ColumnClick(header); });
    QObject::connect(screen.lstSelectedPOs, &ListView::columnHeaderClicked, q,
                     [this](int header) { sorting.lstSelectedPOs_ColumnClick(header); });
    QObject::connect(screen.lstAllSelectedPOs, &ListView::columnHeaderClicked, q,
                     [this](int header) { sorting.lstAllSelectedPOs_ColumnClick(header); });
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
    d->LoadData(ptServerName, lLoadID);
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
    return d->soapCall.ReturnWebserviceXML(AsmxUrl, Host, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly);
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
    d->messageBoxes.setShowBoxes(on);
}

QList<HomeDelieveryUDT> Palletry::ordersOnLoad() const
{
    QList<HomeDelieveryUDT> orders;
    if (d->state.OrderSegmentTable)
        orders = d->state.OrderSegmentTable->mid(1); // entry 0 is no order
    return orders;
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
    limits.connectTimeoutMs = milliseconds;
    d->soapCall.setLimits(limits);
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
    limits.totalTimeoutMs = milliseconds;
    d->soapCall.setLimits(limits);
}

QString Palletry::certificateAuthorities() const
{
    return QString::fromLocal8Bit(d->soapCall.limits().caFile);
}

void Palletry::setCertificateAuthorities(const QString& path)
{
    HttpLimits limits = d->soapCall.limits();
    limits.caFile = path.toLocal8Bit();
    d->soapCall.setLimits(limits);
}

QString Palletry::proxy() const
{
    return QString::fromUtf8(d->soapCall.limits().proxy);
}

void Palletry::setProxy(const QString& proxy)
{
    HttpLimits limits = d->soapCall.limits();
    limits.proxy = proxy.toUtf8();
    d->soapCall.setLimits(limits);
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

bool Palletry::event(QEvent* event)
{
    // Deleted now, the control would be gone under the call still waiting on the stack.
    if (event->type() == QEvent::DeferredDelete && d->runner.busy()) {
        d->deleteAfterCall = true;
        return true;
    }
    return QWidget::event(event);
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
