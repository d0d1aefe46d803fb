#include "actions/LineItemEntry.h"

#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "screen/FlexGrid.h"
#include "transport/MessageBoxes.h"

#include <QLabel>
#include <QLineEdit>

namespace palletry {

LineItemEntry::LineItemEntry(const LineItemPanel& panel, MessageBoxes& boxes, ErrorSink& errors)
    : m_panel(panel)
    , m_boxes(boxes)
    , m_errors(errors)
{
}

void LineItemEntry::gridClick()
{
    trap(m_errors, m_panel.gridClickLabel, [&] {
        const FlexGrid& grid = *m_panel.grid;
        const qint16 r = toInt16(qint64(grid.row()));
        // The heading row is never a line item: a grid without lines takes up nothing.
        const bool line = r >= 1;
        m_panel.lineItem->setText(line ? grid.text(r, 1) : QString());
        m_panel.model->setText(line ? grid.text(r, 2) : QString());
    });
}

std::optional<double> LineItemEntry::number(const QString& text)
{
    try {
        return toDouble(text);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

std::optional<LineItemValues> LineItemEntry::validate()
{
    struct Check
    {
        QLineEdit* field;
        bool failed;
        const char* message;
    };
    const QString cartons = m_panel.cartons->text();
    const QString weight = m_panel.unitWeight->text();
    const std::optional<double> unitWeight = number(weight);
    // In this order, stopping at the first that fails: a blank field is reported as
    // blank, any other text that is not a number as not numeric.
    const Check checks[] = {
        {m_panel.cartons, cartons.isEmpty(), QT_TR_NOOP("Number of cartons has been left blank.")},
        {m_panel.cartons, !isNumber(cartons), QT_TR_NOOP("Number of cartons must be a numeric value.")},
        {m_panel.unitWeight, weight.isEmpty(), QT_TR_NOOP("Unit weight has been left blank.")},
        {m_panel.unitWeight, !unitWeight, QT_TR_NOOP("Unit weight must be a numeric value.")},
    };
    for (const Check& check : checks) {
        if (!check.failed)
            continue;
        m_boxes.show({tr(check.message), QString::fromLatin1(ProjectName), QMessageBox::NoIcon,
                      QMessageBox::Ok, MessageBoxRequest::Kind::Validation});
        check.field->setFocus();
        return std::nullopt;
    }
    return LineItemValues{cartons, *unitWeight, m_panel.lineItem->text()};
}

void LineItemEntry::takeUpLoadedOrder(ControlState& state, const QString& orderId)
{
    const QString& segment = state.LoadSegment;
    qint16 current = 0;
    try {
        current = segment.isEmpty() || segment == QLatin1String("0") ? 0 : toInt16(segment);
    } catch (...) {
        release(state); // nothing of the order before may stay to be saved
        throw;
    }
    // The segment goes straight to its new value: an order taken up again keeps it unchanged.
    clearPanel();

    const QString& recorded = state.NumberOfCartonsForOrderLoad;
    if (!recorded.isEmpty() && recorded != QLatin1String("0")) {
        // Already recorded on the load: shown as a number ("007" as 7) and locked.
        const qint16 count = toInt16(recorded);
        m_panel.cartons->setEnabled(false);
        m_panel.cartons->setText(QString::number(count));
    }
    state.CurrentSegmentNumber = current;
    state.SegmentFromService = current;
    m_shownOrder = orderId;
    gridClick();
}

Task<void> LineItemEntry::takeUp(ControlState& state, QString orderId, std::function<Task<void>()> readOrder)
{
    // Nothing of the order taken up before may be saved under this one, even if this one fails.
    clearPanel();
    try {
        co_await readOrder();
    } catch (...) {
        release(state);
        throw;
    }
    takeUpLoadedOrder(state, orderId);
}

void LineItemEntry::release(ControlState& state)
{
    state.CurrentSegmentNumber = 0;
    state.SegmentFromService = 0;
    clearPanel();
}

void LineItemEntry::clearPanel()
{
    m_shownOrder.clear();
    m_panel.lineItem->clear();
    m_panel.model->clear();
    m_panel.cartons->setEnabled(true);
    m_panel.cartons->clear();
}

void LineItemEntry::clear()
{
    m_panel.grid->clearCells();
    clearFields();
}

void LineItemEntry::clearFields()
{
    m_panel.lineItem->clear();
    m_panel.model->clear();
    m_panel.unitWeight->clear();
}

QWidget* LineItemEntry::nextField() const
{
    if (m_panel.lineItem->text().isEmpty())
        return nullptr;
    QLineEdit* cartons = m_panel.cartons;
    return cartons->isEnabled() && cartons->text().isEmpty() ? cartons : m_panel.unitWeight;
}

QString LineItemEntry::shownOrder() const
{
    const FlexGrid& grid = *m_panel.grid;
    // The loader numbers every line in column 0; a cleared or reset grid has none.
    if (grid.rows() < 2 || grid.cols() < 1 || grid.text(1, 0).isEmpty())
        return QString();
    return m_shownOrder;
}

} // namespace palletry
