#include "actions/OpenLoad.h"

#include "actions/LineItemEntry.h"
#include "actions/ManualPOEntry.h"
#include "actions/SortHandlers.h"
#include "core/Aside.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "screen/Navigation.h"
#include "screen/Screen.h"
#include "soap/ServiceNamespace.h"
#include "soap/ServiceRequests.h"
#include "transport/ServiceAddress.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace palletry {
namespace {

/// A vendor master text at least this large is read on a worker thread: it would hold the screen up for more than a frame.
constexpr qsizetype AsideBytes = 256 * 1024;

} // namespace

OpenLoad::OpenLoad(ControlState& state, Screen& screen, ErrorSink& errors, ServiceRequests& requests,
                   Loaders& loaders, Navigation& navigation, ManualPOEntry& manualPO,
                   LineItemEntry& orderDetails, LineItemEntry& manualPOItems)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_requests(requests)
    , m_loaders(loaders)
    , m_navigation(navigation)
    , m_manualPO(manualPO)
    , m_orderDetails(orderDetails)
    , m_manualPOItems(manualPOItems)
{
}

void OpenLoad::forgetPreviousLoad()
{
    for (QLineEdit* box : {m_screen.txtLoadID, m_screen.txtTruckNumber, m_screen.txtLoadDate, m_screen.txtDriver})
        box->clear();
    // A vendor list that stayed from another server would send its ids to this one.
    m_loaders.clearList(*m_screen.lstVendors);
    m_state.SelectedVendorID = 0;
    m_state.SelectedVendor.clear();
    m_screen.lstProspectivePOs->clear();
    m_screen.lstSelectedPOs->clear();
    // The previous load's segments must not number this load's saves, even when
    // this load's orders cannot be read or it has none.
    if (m_state.OrderSegmentTable)
        m_state.OrderSegmentTable->resize(1);
    m_state.OrdersOnLoad.clear();
    // Every entry in progress ends: nothing taken up on the previous load can be saved onto this one.
    if (m_screen.fraAdPOManually->isVisibleTo(m_screen.fraAdPOManually->parentWidget()))
        m_manualPO.cmdManualPOCancel_Click();
    for (LineItemEntry* entry : {&m_orderDetails, &m_manualPOItems}) {
        entry->clear();
        entry->release(m_state);
    }
    Loaders::resetLineItemGrid(*m_screen.grdOrdItems);
    Loaders::resetLineItemGrid(*m_screen.grdManualPOItems);
    m_navigation.showOnly(0);
}

Task<void> OpenLoad::LoadData(QString ptServerName, qint32 lLoadID)
{
    try {
        // Converted before anything changes: a load id the requests cannot carry leaves
        // the control exactly as it was.
        const qint16 loadId = toInt16(qint64(lLoadID));

        m_state.CurrentSegmentNumber = 0;
        m_state.MaxSegment = QStringLiteral("0");
        m_state.LoadID = lLoadID;
        m_state.ServerName = ptServerName;
        // The server text, or the service's full address as palletry-service prints it.
        m_state.ServiceUrl = serviceUrlFor(ptServerName, QLatin1String(ServicePath));
        m_requests.setService(m_state.ServiceUrl, QLatin1String(ServiceNamespace) + QLatin1Char('/'));
        forgetPreviousLoad();

        using Unwrap::Operation;
        m_state.IncomingLoadXML = co_await m_requests.read(Operation::GetVendorIncomingLoad,
                                                           m_requests.GetVendorIncomingLoadSOAPEnvelope(loadId));
        // The check that the answer holds a DataSet reads its rows already: read once.
        std::shared_ptr<DataSetWalk::Document> vendorRows;
        // Not kept once read: nothing reads the vendor text again, and on a large list it
        // would take the room the rows and their sort need.
        QByteArray vendorXml = co_await m_requests.read(Operation::GetVendorDataVendorMaster,
                                                        m_requests.GetVendorDataVendorMasterSOAPEnvelope(), &vendorRows);
        // The vendors are read and put in the order that the click on their name
        // header, which opening a load ends with, gives them: a large list on a worker
        // thread while the orders on the load are asked for, so that the screen keeps
        // painting; the list then takes them in one move.
        const auto [column, order] = SortHandlers::sortAfterClick(*m_screen.lstVendors, 2);
        auto vendors = std::make_shared<Loaders::VendorList>();
        const bool large = std::max(vendorXml.size(), vendorRows ? vendorRows->textSize() : 0) >= AsideBytes;
        Aside reading(large ? m_requests.asideRunner() : nullptr,
                      [vendors, vendorXml = std::move(vendorXml), vendorRows = std::move(vendorRows), column = column,
                       order = order]() mutable {
                          Loaders::readVendors(*vendors, std::move(vendorXml), column, order, std::move(vendorRows));
                      });
        reading.start();
        m_state.HomeDeliverlyXML = co_await m_requests.read(Operation::GetVendorHomeDeliverly,
                                                            m_requests.GetVendorHomeDeliverlySOAPEnvelope(loadId));
        // Read while the vendors may still be read aside: the screen takes both at once.
        Loaders::OrderRows orders = Loaders::readOrdersOnLoad(m_state.HomeDeliverlyXML);
        co_await reading;

        m_screen.txtLoadID->setText(QString::number(m_state.LoadID));
        m_loaders.LoadVendorIncomingLoad(m_state.IncomingLoadXML);
        m_loaders.LoadVendors(std::move(*vendors));
        m_loaders.LoadVendorHomeDeliverly(std::move(orders));
        m_screen.cmdViewAll->setEnabled(m_screen.lstAllSelectedPOs->count() > 0);
        // As the click on the name header leaves it, also when no vendor could be read.
        m_screen.lstVendors->setSort(column, order);
    } catch (...) {
        reportCurrent(m_errors, "LoadData");
    }
}

} // namespace palletry
