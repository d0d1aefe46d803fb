#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace palletry {

/// One modal message to the clerk.
struct MessageBoxRequest
{
    QString prompt;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

/**
 * The control's one outlet to the clerk: every message goes through show(),
 * which tells the observer first, then runs a modal QMessageBox and returns the
 * button pressed; with boxes off it shows nothing and returns the first button
 * the message offers.
 */
class MessageBoxes
{
public:
    explicit MessageBoxes(QWidget* parent);

    QMessageBox::StandardButton show(const MessageBoxRequest& request);

    /// Off: no box is shown and nothing waits for the clerk; the observer still hears every message.
    void setShowBoxes(bool on) { m_showBoxes = on; }
    bool showsBoxes() const { return m_showBoxes; }

    /// Told of every message before it is shown (the host's messageShown).
    using Observer = std::function<void(const MessageBoxRequest&)>;
    void setObserver(Observer observer) { m_observer = std::move(observer); }

    /// Test seam: when set, messages go to @p interceptor instead of a modal box.
    using Interceptor = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;
    void setInterceptor(Interceptor interceptor);

private:
    QWidget* m_parent;
    Interceptor m_interceptor;
    Observer m_observer;
    bool m_showBoxes = true;
};

} // namespace palletry
