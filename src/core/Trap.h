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

/// The record of the failure being handled (call inside a catch block).
ErrorRecord currentErrorRecord();

/**
 * Inside a catch (...) of a trapping procedure: reports the failure being
 * handled once under @p label. The form of the trap for procedures that wait
 * (a coroutine cannot wait inside trap()'s body).
 */
inline void reportCurrent(ErrorSink& sink, const char* label)
{
    sink.reportError(currentErrorRecord(), QString::fromLatin1(label));
}

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
    try {
        std::forward<Body>(body)();
        return true;
    } catch (...) {
        reportCurrent(sink, label);
    }
    return false;
}

} // namespace palletry
