#include "actions/FindPO.h"

#include "core/Conversion.h"
#include "core/Trap.h"
#include "screen/ListView.h"
#include "screen/Screen.h"
#include "transport/MessageBoxes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace palletry {

namespace {
constexpr int PONumberLength = 11;
}

FindPO::FindPO(Screen& screen, ErrorSink& errors, MessageBoxes& boxes)
    : m_screen(screen)
    , m_errors(errors)
    , m_boxes(boxes)
{
}

void FindPO::txtFindPO_Change()
{
    m_screen.cmdFind->setEnabled(!m_screen.txtFindPO->text().isEmpty());
}

void FindPO::cmdFind_Click()
{
    trap(m_errors, "cmdFind_Click()", [&] {
        QString search = m_screen.txtFindPO->text();
        if (search.isEmpty()) {
            m_boxes.show({tr("Please enter in a PO to find."), tr("PO Not Entered"),
                          QMessageBox::Information, QMessageBox::Ok, MessageBoxRequest::Kind::Validation});
            return;
        }
        // The count of zeros is a 16-bit number: a longer text cannot be searched.
        const qint16 length = toInt16(qint64(search.size()));
        if (length < PONumberLength)
            search.prepend(QString(PONumberLength - length, QLatin1Char('0')));

        ListView& list = m_screen.optProspectivePOs->isChecked() ? *m_screen.lstProspectivePOs
                                                                 : *m_screen.lstSelectedPOs;
        if (const int current = list.currentRow())
            list.setSelected(current, false);
        if (const int found = list.findText(search)) {
            list.ensureRowVisible(found);
            list.setSelected(found, true);
            list.setFocus();
        } else {
            m_boxes.show({tr("Purchase Order Not found in any of the list for the selected Vendor"),
                          QString::fromLatin1(ProjectName), QMessageBox::NoIcon, QMessageBox::Ok, MessageBoxRequest::Kind::NotFound});
        }
        m_screen.txtFindPO->clear();
    });
}

} // namespace palletry
