#pragma once

#include <string>

namespace palletry_service {

/// What the service says about itself, as an ASMX service does: the WSDL 1.1 of its nine
/// operations (document/literal, parameters in the order and with the types the control
/// sends them) and a short HTML page that lists them.
class ServiceDescription {
public:
    /// The WSDL, with @p address (the service's full URL) as the port's location.
    static std::string wsdl(const std::string& address);
    /// The HTML page at the service's address.
    static std::string page(const std::string& address);
};

} // namespace palletry_service
