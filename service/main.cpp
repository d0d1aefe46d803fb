// palletry-service: the reference load service on 127.0.0.1, until SIGINT or SIGTERM.
#include "palletry_service/ReferenceService.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>

#include <pthread.h>

namespace {

int usage(const char* program, int status)
{
    (status ? std::cerr : std::cout)
        << "Usage: " << program << " [--port N] [--db PATH] [--vendors N --orders N --lines N]\n"
        << "The reference load service: SOAP 1.1 over HTTP on 127.0.0.1, until Ctrl+C or SIGTERM.\n"
        << "  --port N     listen on 127.0.0.1:N; 0 (the default) picks a free port\n"
        << "  --db PATH    SQLite database file (default: in memory); a new file is seeded\n"
        << "  --vendors N, --orders N, --lines N\n"
        << "               seed big data instead of the demo data: N vendors, load 1 with\n"
        << "               N orders of N line items each\n"
        << "Once listening it prints two lines on stdout:\n"
        << "  http://127.0.0.1:PORT   the server, as the control's LoadData and --server take it\n"
        << "  http://127.0.0.1:PORT" << palletry_service::ServicePath << "\n"
        << "                          the service: POST a SOAP request there (SOAPAction\n"
        << "                          \"" << palletry_service::ServiceNamespace << "/OPERATION\"),\n"
        << "                          GET it for a page listing the operations, ?WSDL for the WSDL\n"
        << "and on stderr which demo loads hold orders. docs/service.md shows every call with curl.\n";
    return status;
}

bool readNumber(const char* text, long max, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end && *end == '\0' && end != text && value >= 0 && value <= max;
}

} // namespace

int main(int argc, char** argv)
{
    palletry_service::Options options;
    long port = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            return usage(argv[0], 0);
        if (i + 1 >= argc)
            return usage(argv[0], 2);
        const char* value = argv[++i];
        long number = 0;
        if (arg == "--db") {
            options.dbPath = value;
        } else if (arg == "--port" && readNumber(value, 65535, number)) {
            port = number;
        } else if (arg == "--vendors" && readNumber(value, 10000000, number)) {
            options.vendors = static_cast<int>(number);
        } else if (arg == "--orders" && readNumber(value, 10000000, number)) {
            options.orders = static_cast<int>(number);
        } else if (arg == "--lines" && readNumber(value, 100000, number)) {
            options.lines = static_cast<int>(number);
        } else {
            std::cerr << "palletry-service: bad argument " << arg << ' ' << value << '\n';
            return usage(argv[0], 2);
        }
    }

    // Block the stop signals before any thread starts, so that only sigwait below takes them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        palletry_service::ReferenceService service(options);
        if (!service.start(static_cast<std::uint16_t>(port))) {
            std::cerr << "palletry-service: cannot listen on 127.0.0.1:" << port << '\n';
            return 1;
        }
        // First what LoadData and --server take, then the address the calls go to.
        std::cout << service.serverName() << '\n' << service.url() << std::endl;
        std::cerr << "palletry-service: load " << service.demoLoadId() << " holds orders, load "
                  << service.emptyLoadId() << " is empty; stop with Ctrl+C\n";
        int received = 0;
        sigwait(&signals, &received);
        service.stop();
    } catch (const std::exception& error) {
        std::cerr << "palletry-service: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
