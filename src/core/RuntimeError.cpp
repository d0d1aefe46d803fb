#include "core/RuntimeError.h"

namespace palletry {

QString runtimeErrorDescription(RuntimeErrorCode code)
{
    switch (code) {
    case RuntimeErrorCode::InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case RuntimeErrorCode::Overflow:
        return QStringLiteral("Overflow");
    case RuntimeErrorCode::OutOfMemory:
        return QStringLiteral("Out of memory");
    case RuntimeErrorCode::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case RuntimeErrorCode::TemporarilyLocked:
        return QStringLiteral("This array is fixed or temporarily locked");
    case RuntimeErrorCode::UserInterrupt:
        return QStringLiteral("User interrupt occurred");
    case RuntimeErrorCode::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case RuntimeErrorCode::PathFileAccess:
        return QStringLiteral("Path/File access error");
    case RuntimeErrorCode::ObjectNotSet:
        return QStringLiteral("Object variable or With block variable not set");
    }
    return QStringLiteral("Application-defined or object-defined error");
}

ErrorRecord runtimeErrorRecord(RuntimeErrorCode code)
{
    return ErrorRecord{static_cast<qint32>(code), runtimeErrorDescription(code),
                       QString::fromLatin1(ProjectName)};
}

RuntimeError::RuntimeError(ErrorRecord record)
    : m_record(std::move(record))
    , m_what(m_record.description.toUtf8())
{
}

RuntimeError::RuntimeError(RuntimeErrorCode code)
    : RuntimeError(runtimeErrorRecord(code))
{
}

RuntimeError::RuntimeError(RuntimeErrorCode code, const QString& description)
    : RuntimeError(ErrorRecord{static_cast<qint32>(code), description, QString::fromLatin1(ProjectName)})
{
}

} // namespace palletry
