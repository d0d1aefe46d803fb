#include "transport/MessageBoxes.h"

namespace palletry {

MessageBoxes::MessageBoxes(QWidget* parent)
    : m_parent(parent)
{
}

MessageBoxes::~MessageBoxes()
{
    *m_alive = false;
    delete m_box;
}

void MessageBoxes::show(const MessageBoxRequest& request)
{
    m_queue.emplace_back(request);
    queued();
}

void MessageBoxes::announce(std::function<void()> signal)
{
    m_queue.emplace_back(std::move(signal));
    queued();
}

void MessageBoxes::queued()
{
    if (m_done)
        return; // the presentation under way takes it in turn
    if (m_wake)
        m_wake();
    else
        present({}); // an outlet of its own, with no control around it: nothing can go away meanwhile
}

void MessageBoxes::setInterceptor(Interceptor interceptor)
{
    m_interceptor = std::move(interceptor);
}

void MessageBoxes::present(std::function<void()> done)
{
    m_done = std::move(done);
    next();
}

void MessageBoxes::next()
{
    const std::shared_ptr<bool> alive = m_alive;
    while (!m_queue.empty()) {
        auto item = std::move(m_queue.front());
        m_queue.pop_front();
        if (auto* signal = std::get_if<std::function<void()>>(&item)) {
            (*signal)();
            if (!*alive)
                return; // the host deleted the control from its slot
            continue;
        }
        const MessageBoxRequest& request = std::get<MessageBoxRequest>(item);
        if (m_observer) {
            m_observer(request);
            if (!*alive)
                return;
        }
        if (m_interceptor) {
            m_interceptor(request);
            if (!*alive)
                return;
            continue;
        }
        if (!m_showBoxes)
            continue;
        // Window-modal and waited for on the event loop: the clerk answers, the queue goes on.
        auto* box = new QMessageBox(request.icon, request.title, request.prompt, request.buttons, m_parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        m_box = box;
        // Went on from the event loop, not from inside the box's own finishing.
        QObject::connect(box, &QDialog::finished, &m_context, [this] { QMetaObject::invokeMethod(&m_context, [this] { next(); }, Qt::QueuedConnection); });
        box->open();
        return;
    }
    if (auto done = std::exchange(m_done, {}))
        done();
}

} // namespace palletry
