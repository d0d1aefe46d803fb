#pragma once

#include <stdexcept>
#include <string>

namespace palletry_service {

/// A request the service refuses. Client faults blame the request (it cannot be read);
/// server faults come from processing a readable request, as an ASMX service reports an
/// exception of the web method.
class SoapFault : public std::runtime_error {
public:
    enum class Code { Client, Server };

    SoapFault(Code code, const std::string& faultString)
        : std::runtime_error(faultString), code_(code) {}

    Code code() const { return code_; }
    /// "soap:Client" or "soap:Server".
    const char* faultCode() const { return code_ == Code::Client ? "soap:Client" : "soap:Server"; }

    /// The request could not be read (bad XML, bad value, wrong operation element).
    static SoapFault unreadable(const std::string& reason)
    {
        return {Code::Client, "Server was unable to read request. ---> " + reason};
    }
    /// The request was read, but the operation refused it.
    static SoapFault unprocessable(const std::string& reason)
    {
        return {Code::Server, "Server was unable to process request. ---> " + reason};
    }

private:
    Code code_;
};

} // namespace palletry_service
