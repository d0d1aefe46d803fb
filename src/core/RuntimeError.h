#pragma once

#include "core/ErrorRecord.h"

#include <exception>
#include <QByteArray>

namespace palletry {

/// The control's own run-time errors. Numbers follow the classic
/// run-time numbering that the service's operators know from their logs.
enum class RuntimeErrorCode : qint32 {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    /// A call while another is in flight: the control is busy.
    TemporarilyLocked = 10,
    TypeMismatch = 13,
    /// The clerk cancelled a call in flight.
    UserInterrupt = 18,
    PathFileAccess = 75,
    ObjectNotSet = 91,
};

/// Description text for one of the control's run-time errors.
QString runtimeErrorDescription(RuntimeErrorCode code);

/// The record of one of the control's own run-time errors (source "prjPalletry").
ErrorRecord runtimeErrorRecord(RuntimeErrorCode code);

/**
 * A failure raised inside a trapping procedure. The trap (see Trap.h) catches
 * it and hands its record to the error report.
 */
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(ErrorRecord record);
    explicit RuntimeError(RuntimeErrorCode code);
    /// One of the control's own errors with a description of what was refused and why.
    RuntimeError(RuntimeErrorCode code, const QString& description);

    const ErrorRecord& record() const noexcept { return m_record; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    ErrorRecord m_record;
    QByteArray m_what;
};

} // namespace palletry
