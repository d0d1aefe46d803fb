#include "core/Trap.h"

namespace palletry {

ErrorRecord foreignErrorRecord(const std::exception& e)
{
    return ErrorRecord{static_cast<qint32>(RuntimeErrorCode::InvalidProcedureCall),
                       QString::fromUtf8(e.what()), QString::fromLatin1(ProjectName)};
}

} // namespace palletry
