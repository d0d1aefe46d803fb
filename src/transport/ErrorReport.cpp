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
    return QStringLiteral("An application error has occured. Please check the error logs");
}

QString ErrorReport::logText(const ErrorRecord& error, const QString& label)
{
    const QString crlf = QStringLiteral("\r\n");
    return crlf + crlf
        + QStringLiteral("Error Number - ") + QString::number(error.number)
        + crlf + QStringLiteral("Error Description - ") + error.description
        + crlf + QStringLiteral("Error Source - ") + error.source + QLatin1Char(' ') + label
        + crlf + QStringLiteral("Project Associated - Palletry");
}

void ErrorReport::reportError(const ErrorRecord& error, const QString& label)
{
    m_boxes.show({prompt(), QString::fromLatin1(ProjectName), QMessageBox::Information, QMessageBox::Ok});
    m_log.write(logText(error, label), EventType::Information);
}

} // namespace palletry
