#pragma once

#include <QString>
#include <QtGlobal>

namespace palletry {

/// The application name: message-box title and the source of the control's own errors.
inline constexpr char ProjectName[] = "prjPalletry";

/// Which numbering an error's number belongs to.
enum class ErrorKind {
    Transfer,   ///< libcurl's result code (7: could not connect, 28: time-out)
    HttpStatus, ///< the reply's HTTP status (an unfit reply: not XML, not the operation's response)
    SoapFault,  ///< the HTTP status of a reply that was a SOAP fault; the description is its fault string
    RunTime,    ///< the control's own run-time numbers (5, 6, 7, 9, 10, 13, 18, 75, 91)
};

/// One failure as the error report sees it.
struct ErrorRecord
{
    qint32 number = 0;
    QString description;
    QString source;
    ErrorKind kind = ErrorKind::RunTime;
};

} // namespace palletry
