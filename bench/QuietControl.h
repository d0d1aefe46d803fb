#pragma once

#include <palletry/Palletry.h>

#include "core/Task.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace palletry::bench {

/**
 * A shown Palletry control for timing runs: a message it would show the clerk is
 * recorded instead of blocking in a modal box, and its event log goes to a file
 * of its own, so a failed run ends with a readable reason instead of hanging.
 */
class QuietControl
{
public:
    QuietControl();
    ~QuietControl();

    Palletry& control() { return *m_control; }
    Palletry::Private& internals();

    /// Runs @p action as the control runs a clerk's, until it has ended and everything it told was handed out.
    void run(Task<void> action);

    /// Messages the control would have shown since creation, oldest first.
    const QStringList& messages() const { return m_messages; }
    /// Everything the control wrote to its event log.
    QString eventLog() const;

private:
    QTemporaryDir m_logDir;
    std::unique_ptr<Palletry> m_control;
    QStringList m_messages;
};

} // namespace palletry::bench
