#pragma once

#include <QString>
#include <QtGlobal>

namespace palletry {

/// The application name: message-box title and the source of the control's own errors.
inline constexpr char ProjectName[] = "prjPalletry";

/// One failure as the error report sees it.
struct ErrorRecord
{
    qint32 number = 0;
    QString description;
    QString source;
};

} // namespace palletry
