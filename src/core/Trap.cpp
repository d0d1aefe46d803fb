#include "core/Trap.h"

namespace palletry {

ErrorRecord foreignErrorRecord(const std::exception& e)
{
    return ErrorRecord{static_cast<qint32>(RuntimeErrorCode::InvalidProcedureCall),
                       QString::fromUtf8(e.what()), QString::fromLatin1(ProjectName)};
}

ErrorRecord currentErrorRecord()
{
    try {
        throw;
    } catch (const RuntimeError& e) {
        return e.record();
    } catch (const std::bad_alloc&) {
        return runtimeErrorRecord(RuntimeErrorCode::OutOfMemory);
    } catch (const std::exception& e) {
        return foreignErrorRecord(e);
    } catch (...) {
        return ErrorRecord{static_cast<qint32>(RuntimeErrorCode::InvalidProcedureCall),
                           QStringLiteral("An unknown failure"), QString::fromLatin1(ProjectName)};
    }
}

} // namespace palletry
