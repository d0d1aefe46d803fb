#include "actions/ManualPOEntry.h"

#include "actions/LineItemEntry.h"
#include "actions/OrderRecording.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/Navigation.h"
#include "screen/Screen.h"
#include "soap/ServiceRequests.h"
#include "transport/MessageBoxes.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace palletry {

ManualPOEntry::ManualPOEntry(ControlState& state, Screen& screen, ErrorSink& errors, MessageBoxes& boxes,
                             ServiceRequests& requests, Loaders& loaders, Navigation& navigation,
                             OrderRecording& recording, LineItemEntry& manualPO)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_requests(requests)
    , m_loaders(loaders)
    , m_navigation(navigation)
    , m_recording(recording)
    , m_entry(manualPO)
{
    m_screen.txtAddPO->installEventFilter(this);
}

bool ManualPOEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_screen.txtAddPO || event->type() != QEvent::KeyPress)
        return false;
    // Only typed characters are filtered: keys without text (arrows, Delete) and
    // shortcuts such as paste (a control character) go through.
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() != 1 || (text.at(0).unicode() < 32 && text.at(0).unicode() != 8))
        return false;
    int KeyAscii = text.at(0).unicode();
    txtAddPO_KeyPress(KeyAscii);
    return KeyAscii == 0;
}

void ManualPOEntry::txtAddPO_KeyPress(int& KeyAscii)
{
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != 8 && KeyAscii != '-')
        KeyAscii = 0;
}

void ManualPOEntry::txtAddPO_Change()
{
    m_screen.cmdAddPO->setEnabled(!m_screen.txtAddPO->text().isEmpty());
}

void ManualPOEntry::txtAddPO_GotFocus()
{
    m_screen.txtAddPO->setSelection(0, int(m_screen.txtAddPO->text().size()));
}

void ManualPOEntry::cmdAddPO_Click()
{
    trap(m_errors, "cmdAddPO_Click()", [&] {
        QLineEdit& po = *m_screen.txtAddPO;
        if (po.text().isEmpty()) {
            m_boxes.show({tr("P O field cannot be left blank."), tr("Blank PO Field"),
                          QMessageBox::Information, QMessageBox::Ok});
            po.setFocus();
            return;
        }
        m_screen.fraAdPOManually->setVisible(true);
        m_navigation.setHeights(Screen::LargeTabStripHeightTwips, Screen::LargeControlHeightTwips);
        m_loaders.LoadLineItemsOrderDetail(po.text(), false, toInt16(qint64(m_state.LoadID)));

        // A PO not on this load gets a segment of its own when saved, never another order's.
        m_entry.takeUpLoadedOrder(m_state);
        m_screen.cmdAddPO->setEnabled(false);
        po.setEnabled(false);
    });
}

void ManualPOEntry::cmdManualPOSave_Click()
{
    trap(m_errors, "cmdManualPOSave_Click()", [&] {
        if (!m_entry.validate())
            return;
        const qint16 cartons = toInt16(m_screen.txtManualPONumberOfCartons->text());
        const QString po = m_screen.txtAddPO->text();
        const QString envelope = m_requests.GetVendorDetailsByOrderIDSOAPEnvelope(po);
        m_state.VendorByOrderXML = m_requests.read(Unwrap::Operation::GetVendorDetailsByOrderID, envelope);
        const bool recorded = m_recording.AddPO(m_state.VendorByOrderXML, cartons, po, false);
        // The load list shows what the service holds, whatever became of this save.
        m_loaders.refreshOrdersOnLoad();
        cmdManualPOCancel_Click();
        if (recorded)
            m_boxes.show({tr("Data has been saved successfully!!!"), QString::fromLatin1(ProjectName),
                          QMessageBox::Information, QMessageBox::Ok});
    });
}

void ManualPOEntry::cmdManualPOCancel_Click()
{
    m_screen.cmdAddPO->setEnabled(true);
    m_screen.fraAdPOManually->setVisible(false);
    m_screen.setTabStripHeightTwips(Screen::SmallHeightTwips);
    m_screen.txtAddPO->setEnabled(true);
    // Clearing a field that held text runs txtAddPO_Change, which takes "Add P O" away again.
    m_screen.txtAddPO->clear();
    m_navigation.setHeights(Screen::SmallHeightTwips, Screen::SmallHeightTwips);
    ClearManualPOEntry();
}

void ManualPOEntry::ClearManualPOEntry()
{
    m_entry.clear();
    m_screen.txtManualPONumberOfCartons->setEnabled(true);
}

} // namespace palletry
