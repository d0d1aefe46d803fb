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
        return QMessageBox::Ok;
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

QString QuietControl::eventLog() const
{
    QFile file(m_logDir.filePath(QStringLiteral("events.log")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace palletry::bench
