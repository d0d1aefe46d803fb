#include "actions/ScannerEntry.h"

#include <QKeyEvent>
#include <QPushButton>

namespace palletry {

namespace {

bool reachable(const QWidget* widget)
{
    return widget && widget->isEnabled() && widget->isVisible();
}

} // namespace

ScannerEntry::ScannerEntry(QObject* parent)
    : QObject(parent)
{
}

void ScannerEntry::watch(QWidget* widget, QPushButton* button)
{
    watch(widget, [button] {
        if (reachable(button))
            button->click();
    });
}

void ScannerEntry::watchNext(QWidget* widget, QWidget* next)
{
    watch(widget, [this, next] { focus(next); });
}

void ScannerEntry::watch(QWidget* widget, std::function<void()> onEnter)
{
    m_watched.emplace_back(widget, std::move(onEnter));
    if (m_on)
        widget->installEventFilter(this);
}

void ScannerEntry::focus(QWidget* widget) const
{
    if (m_on && reachable(widget))
        widget->setFocus(Qt::OtherFocusReason);
}

void ScannerEntry::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    // Installed when switched on, so this filter sees Enter before the widgets'
    // own key handlers, which would discard it or pass it on.
    for (const auto& watched : m_watched) {
        if (on)
            watched.first->installEventFilter(this);
        else
            watched.first->removeEventFilter(this);
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
    for (const auto& [widget, onEnter] : m_watched) {
        if (widget != watched)
            continue;
        onEnter();
        return true;
    }
    return false;
}

} // namespace palletry
