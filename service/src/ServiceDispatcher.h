#pragma once

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
 * answered with HTTP 500 and a SOAP 1.1 fault. Not thread-safe.
 */
class ServiceDispatcher {
public:
    explicit ServiceDispatcher(LoadDatabase& db) : db_(db) {}

    ServiceReply handle(const std::string& soapAction, const std::string& body);

private:
    std::string dispatch(const std::string& operation, const std::string& body);

    LoadDatabase& db_;
};

} // namespace palletry_service
