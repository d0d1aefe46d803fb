#include "transport/ErrorReport.h"

#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"

namespace palletry {

ErrorReport::ErrorReport(MessageBoxes& boxes, EventLog& log)
    : m_boxes(boxes)
    , m_log(log)
{
}

QString ErrorReport::prompt()
{
    return tr("An application error has occured. Please check the error logs");
}

QString ErrorReport::logText(const ErrorRecord& error, const QString& label)
{
    const QString crlf = QStringLiteral("\r\n");
    return crlf + crlf
        + QStringLiteral("Error Number - ") + QString::number(error.number)
        + crlf + QStringLiteral("Error Description - ") + error.description
        + crlf + QStringLiteral("Error Source - ") + sourceText(error, label)
        + crlf + QStringLiteral("Project Associated - Palletry");
}

QString ErrorReport::sourceText(const ErrorRecord& error, const QString& label)
{
    return error.source + QLatin1Char(' ') + label;
}

void ErrorReport::setObserver(Observer observer)
{
    m_observer = std::move(observer);
}

void ErrorReport::reportError(const ErrorRecord& error, const QString& label)
{
    ++m_count;
    // The host hears of it just before the clerk's box, both in turn with whatever came before.
    m_boxes.announce([this, error, label] {
        if (m_observer)
            m_observer(error, label);
    });
    m_boxes.show({prompt(), QString::fromLatin1(ProjectName), QMessageBox::Information, QMessageBox::Ok, MessageBoxRequest::Kind::Error});
    m_log.write(logText(error, label), EventType::Information);
}

} // namespace palletry
