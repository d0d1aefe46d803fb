#pragma once

#include <QString>

#include <functional>

namespace palletry {

/**
 * Where the transfer of a service call runs while its caller waits for it.
 * Without a runner the transfer runs on the calling thread. The control's
 * runner moves it to a worker thread and keeps the user-interface thread's
 * events going meanwhile, so that the host's windows stay alive.
 */
class TransferRunner
{
public:
    virtual ~TransferRunner() = default;

    /// One transfer of one call.
    struct Transfer
    {
        /// The operation called (the SOAP action's last part), to tell the clerk what is awaited.
        QString operation;
        /// The transfer itself: blocks until it ended; may run on any thread.
        std::function<void()> run;
        /// Asks the running transfer to end early as cancelled; safe from the waiting thread.
        std::function<void()> cancel;
    };

    /**
     * Runs @p transfer to its end and returns only then. Throws a RuntimeError,
     * with nothing run, when it cannot take the transfer (a call is already in
     * flight).
     */
    virtual void run(const Transfer& transfer) = 0;
};

} // namespace palletry
