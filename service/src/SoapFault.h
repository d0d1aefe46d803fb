#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

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

    /// @p value as a fault quotes it: whole up to QuotedCharacters characters, else its start,
    /// "…" and its size, so that a fault about a huge value stays small.
    static std::string excerpt(std::string_view value)
    {
        std::size_t characters = 0;
        std::size_t end = 0;
        for (; end < value.size(); ++end) {
            const bool starts = (static_cast<unsigned char>(value[end]) & 0xC0) != 0x80; // of a UTF-8 character
            if (starts && ++characters > QuotedCharacters)
                break;
        }
        if (end == value.size())
            return std::string(value);
        return std::string(value.substr(0, end)) + "\u2026 (" + std::to_string(value.size()) + " bytes)";
    }

    static constexpr std::size_t QuotedCharacters = 200;

private:
    Code code_;
};

} // namespace palletry_service
