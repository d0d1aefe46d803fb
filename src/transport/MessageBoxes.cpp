#include "transport/MessageBoxes.h"

#include <QApplication>

namespace palletry {

MessageBoxes::MessageBoxes(QWidget* parent)
    : m_parent(parent)
{
}

QMessageBox::StandardButton MessageBoxes::show(const MessageBoxRequest& request)
{
    if (m_observer)
        m_observer(request);
    if (m_interceptor)
        return m_interceptor(request);
    if (!m_showBoxes) {
        // The lowest standard button offered: Ok for every message the control gives today.
        for (int bit = 0; bit < 32; ++bit)
            if (request.buttons.testFlag(QMessageBox::StandardButton(1u << bit)))
                return QMessageBox::StandardButton(1u << bit);
        return QMessageBox::NoButton;
    }

    QMessageBox box(request.icon, request.title, request.prompt, request.buttons, m_parent);
    // A blocking call may have set the busy cursor; the clerk must see a normal one here.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    return static_cast<QMessageBox::StandardButton>(pressed);
}

void MessageBoxes::setInterceptor(Interceptor interceptor)
{
    m_interceptor = std::move(interceptor);
}

} // namespace palletry
