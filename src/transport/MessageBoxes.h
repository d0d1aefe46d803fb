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
 * which runs a modal QMessageBox and returns the button pressed.
 */
class MessageBoxes
{
public:
    explicit MessageBoxes(QWidget* parent);

    QMessageBox::StandardButton show(const MessageBoxRequest& request);

    /// Test seam: when set, messages go to @p interceptor instead of a modal box.
    using Interceptor = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;
    void setInterceptor(Interceptor interceptor);

private:
    QWidget* m_parent;
    Interceptor m_interceptor;
};

} // namespace palletry
