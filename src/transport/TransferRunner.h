#pragma once

// moc reads the headers that name these types, not the C++20 headers behind them.
#ifndef Q_MOC_RUN

#include "core/Aside.h"

#include <QByteArray>
#include <QString>

#include <coroutine>
#include <string>

namespace palletry {

class HttpExchange;

/**
 * Where the transfer of a service call runs while the action that makes it
 * waits. Without a runner the transfer runs on the calling thread, which waits
 * for it. The control's runner starts it on the event loop and resumes the
 * waiting action once it has ended, so that nothing waits on the stack.
 * The same runner runs the long work on a reply aside (AsideRunner).
 */
class TransferRunner : public AsideRunner
{
public:

    /// One transfer of one call.
    struct Transfer
    {
        /// The operation called (the SOAP action's last part), to tell the clerk what is awaited.
        QString operation;
        /// The exchange that carries it; it records how the transfer ended.
        HttpExchange* http = nullptr;
        QByteArray url;
        QByteArray soapAction;
        std::string body;
    };

    /**
     * Starts @p transfer and returns at once; @p waiting is resumed on the event
     * loop once the transfer has ended, was cancelled or could not be started
     * (the exchange tells which), never inside this call. Destroying the runner
     * drops the transfer and never resumes @p waiting.
     */
    virtual void run(Transfer transfer, std::coroutine_handle<> waiting) = 0;
};

} // namespace palletry

#endif // Q_MOC_RUN
