#include "actions/ManualPOEntry.h"

#include "actions/LineItemEntry.h"
#include "actions/OrderRecording.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "loaders/Loaders.h"
#include "screen/Navigation.h"
#include "screen/Screen.h"
#include "transport/MessageBoxes.h"

#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include <algorithm>

namespace palletry {
namespace {

/**
 * What the clerk may put into txtAddPO by any means of input (keys, paste, input
 * methods): digits and "-", at most Screen::AddPOTypedLength characters. An edit
 * that breaks either is refused whole, so a pasted id is never cut into another
 * order's. An id the program sets (from the load list) is not judged and stays whole.
 */
class TypedPONumber : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        if (input.size() > Screen::AddPOTypedLength)
            return Invalid;
        for (const QChar c : input)
            if (!ManualPOEntry::isTypedPOCharacter(c.unicode()))
                return Invalid;
        return Acceptable;
    }
};

} // namespace

ManualPOEntry::ManualPOEntry(ControlState& state, Screen& screen, ErrorSink& errors, MessageBoxes& boxes,
                             Loaders& loaders, Navigation& navigation,
                             OrderRecording& recording, LineItemEntry& manualPO)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_loaders(loaders)
    , m_navigation(navigation)
    , m_recording(recording)
    , m_entry(manualPO)
{
    m_screen.txtAddPO->installEventFilter(this);
    m_screen.txtAddPO->setValidator(new TypedPONumber(m_screen.txtAddPO));
}

bool ManualPOEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_screen.txtAddPO)
        return false;
    if (event->type() == QEvent::InputMethod) {
        // A refused commit is dropped whole; the event still goes on, so the
        // composition it ends does not linger in the field.
        auto* input = static_cast<QInputMethodEvent*>(event);
        const QString commit = input->commitString();
        if (!std::all_of(commit.begin(), commit.end(), [](QChar c) { return isTypedPOCharacter(c.unicode()); }))
            input->setCommitString(QString());
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Keys without text (arrows, Delete) and shortcuts go through: a shortcut's text may be
    // its letter ("v" of Ctrl+V) or one control character, and what a paste would put in is
    // the validator's to judge. Ctrl with Alt is AltGr on some keyboards, typing characters.
    const Qt::KeyboardModifiers mods = key->modifiers();
    const bool shortcut = (mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier);
    if (shortcut || text.isEmpty() || (text.size() == 1 && text.at(0).unicode() < 32 && text.at(0).unicode() != 8))
        return false;
    // Every character of any other text is judged, and one refused character refuses the whole key.
    for (const QChar c : text) {
        int KeyAscii = c.unicode();
        txtAddPO_KeyPress(KeyAscii);
        if (KeyAscii == 0)
            return true;
    }
    return false;
}

bool ManualPOEntry::isTypedPOCharacter(int code)
{
    return (code >= '0' && code <= '9') || code == '-';
}

void ManualPOEntry::txtAddPO_KeyPress(int& KeyAscii)
{
    if (!isTypedPOCharacter(KeyAscii) && KeyAscii != 8)
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

Task<void> ManualPOEntry::cmdAddPO_Click()
{
    try {
        QLineEdit& po = *m_screen.txtAddPO;
        if (po.text().isEmpty()) {
            m_boxes.show({tr("P O field cannot be left blank."), tr("Blank PO Field"),
                          QMessageBox::Information, QMessageBox::Ok, MessageBoxRequest::Kind::Validation});
            po.setFocus();
            co_return;
        }
        m_screen.fraAdPOManually->setVisible(true);
        m_navigation.setHeights(Screen::LargeTabStripHeightTwips, Screen::LargeControlHeightTwips);
        // A PO not on this load gets a segment of its own when saved, never another order's.
        const QString number = po.text();
        // Named, not a temporary in the awaited call: GCC 12 destroys such a temporary twice.
        const std::function<Task<void>()> read = [this, number] {
            return m_loaders.LoadLineItemsOrderDetail(number, false, toInt16(qint64(m_state.LoadID)));
        };
        co_await m_entry.takeUp(m_state, number, read);
        m_screen.cmdAddPO->setEnabled(false);
        po.setEnabled(false);
    } catch (...) {
        reportCurrent(m_errors, "cmdAddPO_Click()");
    }
}

Task<void> ManualPOEntry::cmdManualPOSave_Click()
{
    try {
        const std::optional<LineItemValues> entry = m_entry.validate();
        if (!entry)
            co_return;
        // The PO whose line items the panel shows, whatever txtAddPO holds by now.
        const QString po = m_entry.shownOrder();
        if (po.isEmpty())
            throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                               QStringLiteral("No line items of PO %1 are shown: nothing was saved")
                                   .arg(m_screen.txtAddPO->text()));
        if (!m_recording.lineItemChosen(*entry, QStringLiteral("PO %1").arg(po)))
            co_return;
        qint16 cartons = toInt16(entry->cartons);
        const std::optional<OrderRecording::Outcome> outcome = co_await m_recording.record(po, cartons, *entry);
        if (!outcome)
            co_return; // the panel stays open for another try
        const bool recorded = outcome->recorded;
        // The load list shows what the service holds, whatever became of this save.
        co_await m_loaders.refreshOrdersOnLoad();
        cmdManualPOCancel_Click();
        if (recorded)
            m_boxes.show({tr("Data has been saved successfully!!!"), QString::fromLatin1(ProjectName),
                          QMessageBox::Information, QMessageBox::Ok, MessageBoxRequest::Kind::Success});
    } catch (...) {
        reportCurrent(m_errors, "cmdManualPOSave_Click()");
    }
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
