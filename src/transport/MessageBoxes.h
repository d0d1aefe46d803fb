#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <variant>

namespace palletry {

/// One modal message to the clerk.
struct MessageBoxRequest
{
    QString prompt;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    /// What the message is, for a host that shows it its own way.
    enum class Kind { Error, Validation, NotFound, Success } kind = Kind::Validation;
};

/**
 * The control's one outlet to the clerk and the host. Every message, and every
 * signal that tells the host something, is queued here in the order it arose
 * and handed out by present(), which the control runs from the event loop with
 * nothing of an action on the stack: a host's slot may then delete the control,
 * and a box waits for the clerk without holding anybody's frames (open(), not
 * exec()). With boxes off no box is shown and nothing waits; the observer still
 * hears every message.
 */
class MessageBoxes
{
public:
    explicit MessageBoxes(QWidget* parent);
    ~MessageBoxes();

    /// Queues @p request: told to the observer, then shown, by present().
    void show(const MessageBoxRequest& request);
    /// Queues a signal to the host, in order with the messages.
    void announce(std::function<void()> signal);
    /// True while something waits to be presented.
    bool pending() const { return !m_queue.empty(); }

    /**
     * Hands out what is queued, in order: each signal is emitted, each message
     * told to the observer and shown; a box is waited for (on the event loop)
     * before the next. @p done runs once the queue is empty, unless the outlet
     * was destroyed meanwhile (a host's slot deleting the control).
     */
    void present(std::function<void()> done);
    /// True while present() is under way (a box may be up).
    bool presenting() const { return bool(m_done); }

    /**
     * Tells whoever presents that something was queued while nobody was
     * presenting. Without one, what is queued is presented at once.
     */
    void setWake(std::function<void()> wake) { m_wake = std::move(wake); }

    /// Off: no box is shown and nothing waits for the clerk; the observer still hears every message.
    void setShowBoxes(bool on) { m_showBoxes = on; }
    bool showsBoxes() const { return m_showBoxes; }

    /// Told of every message just before it is shown (the host's messageShown).
    using Observer = std::function<void(const MessageBoxRequest&)>;
    void setObserver(Observer observer) { m_observer = std::move(observer); }

    /// Test seam: when set, messages go to @p interceptor instead of a box.
    using Interceptor = std::function<void(const MessageBoxRequest&)>;
    void setInterceptor(Interceptor interceptor);

    /// The box up now, if any (the clerk answers it; a test may too).
    QMessageBox* openBox() const { return m_box; }

private:
    void next();
    void queued();

    QWidget* m_parent;
    Interceptor m_interceptor;
    Observer m_observer;
    std::function<void()> m_wake;
    std::function<void()> m_done;
    std::deque<std::variant<MessageBoxRequest, std::function<void()>>> m_queue;
    QPointer<QMessageBox> m_box;
    QObject m_context; // what is queued for later goes with the outlet
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    bool m_showBoxes = true;
};

} // namespace palletry
