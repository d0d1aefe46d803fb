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

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace palletry;

Palletry::Private::Private(Palletry* control)
    : q(control)
    , messageBoxes(control)
    , errorReport(messageBoxes, eventLog)
    , soapCall(state, errorReport)
    , screen(control)
    , navigation(screen, *control)
    , sorting(screen, errorReport)
    , requests(state, soapCall, errorReport)
    , loaders(state, screen, errorReport, requests)
{
}

Palletry::Private::~Private() = default;

void Palletry::Private::UserControl_Initialize()
{
    trap(errorReport, "UserControl_Initialize", [&] {
        QTabWidget& tabs = *screen.tabPalletry;
        tabs.setTabEnabled(0, true);
        tabs.setTabEnabled(1, false);
        tabs.setTabEnabled(2, false);
        tabs.setCurrentIndex(0);
        screen.lblVersionNumber->setText(Palletry::tr("Version number: %1.%2.%3")
                                             .arg(PALLETRY_VERSION_MAJOR)
                                             .arg(PALLETRY_VERSION_MINOR)
                                             .arg(PALLETRY_VERSION_REVISION));
    });
}

void Palletry::Private::LoadData(const QString& ptServerName, qint32 lLoadID)
{
    const quint64 reportsBefore = errorReports;
    trap(errorReport, "LoadData", [&] {
        // Converted before anything changes: a load id the requests cannot carry leaves
        // the control exactly as it was.
        const qint16 loadId = toInt16(qint64(lLoadID));

        state.CurrentSegmentNumber = 0;
        state.MaxSegment = QStringLiteral("0");
        state.LoadID = lLoadID;
        state.ServerName = ptServerName;
        state.SoapActionPrefix = QLatin1String(ServiceNamespace) + QLatin1Char('/');
        state.ServiceUrl = state.ServerName + QLatin1String(ServicePath);

        // Start from this load alone: nothing of a previous load may stay on screen
        // or be saved onto this one.
        for (QLineEdit* box : {screen.txtLoadID, screen.txtTruckNumber, screen.txtLoadDate, screen.txtDriver})
            box->clear();
        screen.lstProspectivePOs->clear();
        screen.lstSelectedPOs->clear();
        // The previous load's segments must not number this load's saves, even when
        // this load's orders cannot be read or it has none.
        if (state.OrderSegmentTable)
            state.OrderSegmentTable->resize(1);
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
        emit q->errorReported(error.number, error.description, ErrorReport::sourceText(error, label));
    });

    scanner.watch(screen.txtFindPO, screen.cmdFind);
    scanner.watch(screen.txtAddPO, screen.cmdAddPO);
    scanner.watch(screen.txtUnitWeight, screen.cmdSaveVendorDetails);
    scanner.watch(screen.txtManualPOUnitWeight, screen.cmdManualPOSave);

    QObject::connect(screen.tabPalletry, &QTabWidget::currentChanged, q, [this] { navigation.tabPalletry_Click(); });

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
    d->state.PersonID = PersonIDPassed;
    d->state.PersonTypeID = PersonTypeIDPassed;
}

void Palletry::ShrinkForm()
{
    d->navigation.setHeights(Screen::SmallHeightTwips, Screen::SmallHeightTwips);
}

QObject* Palletry::HandleVendorDetailsDelay()
{
    d->screen.cmdViewAll->setEnabled(true);
    return nullptr;
}

QString Palletry::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                                      const QString& SOAPEnvelope, bool UpdateAddDeleteOnly)
{
    return d->soapCall.ReturnWebserviceXML(AsmxUrl, Host, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly);
}

qint16 Palletry::CurrentSegmentNumber() const
{
    return d->state.CurrentSegmentNumber;
}

void Palletry::setCurrentSegmentNumber(qint16 value)
{
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
    d->scanner.setOn(on);
}
