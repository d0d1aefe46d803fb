#pragma once

#include "core/RuntimeError.h"

#include <new>
#include <utility>

namespace palletry {

/// Where a trapped failure goes: the error report (message box + event log).
class ErrorSink
{
public:
    virtual ~ErrorSink() = default;
    virtual void reportError(const ErrorRecord& error, const QString& label) = 0;
};

/// Record for a failure that did not come as a RuntimeError (library exceptions).
ErrorRecord foreignErrorRecord(const std::exception& e);

/**
 * Runs @p body as one trapping procedure: a failure inside it ends the body,
 * is reported once under @p label, and the caller goes on. Whatever the body
 * changed before the failure stays changed.
 *
 * Returns true when the body ran to its end, false when it was trapped.
 */
template <typename Body>
bool trap(ErrorSink& sink, const char* label, Body&& body)
{
    ErrorRecord error;
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const RuntimeError& e) {
        error = e.record();
    } catch (const std::bad_alloc&) {
        error = runtimeErrorRecord(RuntimeErrorCode::OutOfMemory);
    } catch (const std::exception& e) {
        error = foreignErrorRecord(e);
    }
    sink.reportError(error, QString::fromLatin1(label));
    return false;
}

} // namespace palletry
