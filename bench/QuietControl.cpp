#include "QuietControl.h"

#include "control/Palletry_p.h"

#include <QApplication>
#include <QFile>

namespace palletry::bench {

QuietControl::QuietControl()
    : m_control(std::make_unique<Palletry>())
{
    Palletry::Private& d = internals();
    d.messageBoxes.setInterceptor([this](const MessageBoxRequest& request) {
        m_messages << request.title + QStringLiteral(": ") + request.prompt;
    });
    m_control->setEventLogFile(m_logDir.filePath(QStringLiteral("events.log")));
    m_control->resize(900, 700);
    m_control->show();
    QApplication::processEvents();
}

QuietControl::~QuietControl() = default;

Palletry::Private& QuietControl::internals()
{
    return *Palletry::Private::get(m_control.get());
}

void QuietControl::run(Task<void> action)
{
    Palletry::Private& d = internals();
    if (!d.runner.start(std::move(action)))
        return;
    while (d.runner.busy() || d.messageBoxes.pending())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

QString QuietControl::eventLog() const
{
    QFile file(m_logDir.filePath(QStringLiteral("events.log")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace palletry::bench
