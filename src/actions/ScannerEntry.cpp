#include "actions/ScannerEntry.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace palletry {

ScannerEntry::ScannerEntry(QObject* parent)
    : QObject(parent)
{
}

void ScannerEntry::watch(QLineEdit* field, QPushButton* button)
{
    m_fields.emplace_back(field, button);
    if (m_on)
        field->installEventFilter(this);
}

void ScannerEntry::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    // Installed when switched on, so this filter sees Enter before the fields'
    // own key handlers, which would discard it.
    for (const auto& [field, button] : m_fields) {
        if (on)
            field->installEventFilter(this);
        else
            field->removeEventFilter(this);
    }
}

bool ScannerEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier))
        return false;
    for (const auto& [field, button] : m_fields) {
        if (field != watched)
            continue;
        if (button && button->isEnabled() && button->isVisible())
            button->click();
        return true;
    }
    return false;
}

} // namespace palletry
