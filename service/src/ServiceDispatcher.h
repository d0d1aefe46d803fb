#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>

namespace palletry_service {

class LoadDatabase;

/// A reply ready to go out: HTTP status and SOAP text.
struct ServiceReply {
    int status = 200;
    std::string body;
};

/**
 * Turns one SOAP request into its reply. The SOAPAction header chooses the operation (quoted
 * or not, it must be the service namespace, "/" and one of the nine operation names) and the
 * body's operation element must agree with it. Anything the service cannot process is
 * answered with HTTP 500 and a SOAP 1.1 fault. The request is parsed before the
 * database lock is taken, so a large body does not hold up other clients' requests;
 * only the database work runs under it. Bodies from LargeBody bytes on are parsed LargeParses
 * at a time: a parsed document costs several times its body, and 32 of them at once would cost
 * what the service may not.
 */
class ServiceDispatcher {
public:
    ServiceDispatcher(LoadDatabase& db, std::mutex& dbMutex) : db_(db), dbMutex_(dbMutex) {}

    ServiceReply handle(const std::string& soapAction, const std::string& body);
    /// The client fault for a request that cannot be read, for @p reason.
    static ServiceReply unreadable(const std::string& reason);

    static constexpr std::size_t LargeBody = std::size_t(64) << 10;
    static constexpr int LargeParses = 4;

private:
    std::string dispatch(const std::string& operation, const std::string& body);

    /// Holds one of the LargeParses turns while a large body's request is in use.
    class LargeParseTurn {
    public:
        LargeParseTurn(ServiceDispatcher& dispatcher, std::size_t bodyBytes);
        ~LargeParseTurn();
        LargeParseTurn(const LargeParseTurn&) = delete;
        LargeParseTurn& operator=(const LargeParseTurn&) = delete;

    private:
        ServiceDispatcher* dispatcher_ = nullptr; // null for a small body
    };

    /// Runs @p work on the database under its lock.
    template <typename Work>
    auto locked(Work work)
    {
        std::lock_guard<std::mutex> lock(dbMutex_);
        return work();
    }

    LoadDatabase& db_;
    std::mutex& dbMutex_;
    std::mutex turnsMutex_;
    std::condition_variable turnFreed_;
    int largeParses_ = 0;
};

} // namespace palletry_service
