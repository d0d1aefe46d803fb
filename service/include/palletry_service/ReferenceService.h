#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace palletry_service {

/// The fixed XML namespace of the service; the SOAPAction of an operation is this, "/" and its name.
inline constexpr const char* ServiceNamespace = "http://tempuri.org/KLTVRouteLocations/Service1";
/// Path of the service below the server address.
inline constexpr const char* ServicePath = "/WebServices/KLTVWebservice/KLTVWebservice.asmx";

/// How many of the requests received the service keeps for ReferenceService::requests():
/// the newest, at most maxRequests of them and maxBodyBytes of their bodies together (the
/// newest one is kept whatever its size); older ones are dropped. maxRequests 0 (the
/// default) keeps none: only a test reads the record, and asks for it.
struct RequestRecord {
    std::size_t maxRequests = 0;
    std::size_t maxBodyBytes = std::size_t(8) << 20;
};

/// How a service instance is set up.
struct Options {
    /// SQLite database file; empty keeps the data in memory. A new or empty file is seeded,
    /// a file that already holds data is used as it is.
    std::string dbPath;
    /// Seed the demo data (a few loads, some dozens of vendors, a few hundred orders).
    bool demoData = true;
    /// When any of these is above 0, big data is seeded instead of the demo data: `vendors`
    /// vendors, and load 1 holding `orders` orders spread over the vendors, each with
    /// `lines` line items. Load 2 stays empty.
    int vendors = 0;
    int orders = 0;
    int lines = 0;
    /// Time a client has to send one whole request, from the moment its connection is
    /// accepted; a slower one is answered 408 and cut off, while other clients are served.
    std::chrono::milliseconds requestTime{10000};
    /// Threads that read requests and run the operations, each for many connections.
    unsigned threads = 32;
    /// The record of requests tests read; none unless asked for.
    RequestRecord record;

    /// The demo data, with the newest 1,000 requests (8 MiB of bodies at most) kept for requests().
    static Options recording()
    {
        Options options;
        options.record.maxRequests = 1000;
        return options;
    }
};

/// One request as the service received it.
struct RecordedRequest {
    std::string soapAction; ///< the SOAPAction header as sent (quotes kept)
    std::string body;       ///< the request body as sent
    int status = 0;         ///< HTTP status of the reply
};

/// Text rows of a SQL query; a NULL value reads as the empty text.
using QueryRows = std::vector<std::vector<std::string>>;

/**
 * The reference load service: a SOAP 1.1 service on 127.0.0.1 backed by SQLite, answering the
 * nine operations of the warehouse's load service the way an ASMX service does.
 *
 * Start it in one line: `ReferenceService service; service.start();` and hand
 * `service.serverName()` to the control's LoadData with `service.demoLoadId()`.
 * All members are thread-safe; requests are read and served by a pool of threads (libmicrohttpd,
 * an epoll loop each) and database access is serialised. Each connection carries one request,
 * received within Options::requestTime of its acceptance (else it is answered 408 and cut off;
 * one that ends before its announced length is answered 400);
 * slow clients hold no thread, so they do not keep others waiting. Bodies must announce one
 * length (411; two different ones 400), stay within 4 MiB (413, refused unread) and come
 * uncompressed (415); a body of more than 100,000 elements and attributes or nested more than
 * 32 deep is refused with a client fault as it arrives, unparsed. Stored texts have lengths
 * fitting their meaning (ids, codes, freight groups, person types: 32 characters, postal codes
 * 20, time stamps 48); a longer one is refused with a fault and nothing is stored. AddPODetails
 * does not replace a line item's entry with an older one (by RecordLastUpdated). GET on the
 * service path answers a page listing the operations, with ?WSDL the WSDL.
 */
class ReferenceService {
public:
    /// Opens (and, when needed, seeds) the database. Throws std::runtime_error when the
    /// database cannot be opened.
    explicit ReferenceService(Options options = {});
    /// Stops the server.
    ~ReferenceService();

    ReferenceService(const ReferenceService&) = delete;
    ReferenceService& operator=(const ReferenceService&) = delete;

    /// Listens on 127.0.0.1:port (0 picks a free port) and serves on its own thread.
    /// Returns once the socket is listening; false when the port cannot be bound or the
    /// service already runs.
    bool start(std::uint16_t port = 0);
    /// Stops serving and waits for the server thread. Safe to call more than once.
    void stop();
    bool isRunning() const;

    /// The port listened on; 0 while stopped.
    std::uint16_t port() const;
    /// "http://127.0.0.1:PORT": what a host passes to LoadData as the server.
    std::string serverName() const;
    /// serverName() followed by the service path.
    std::string url() const;

    /// A load of the seeded data that holds orders.
    std::int32_t demoLoadId() const;
    /// A load of the seeded data that holds no orders.
    std::int32_t emptyLoadId() const;

    /// The requests received on the service path that Options::record keeps, in order of arrival.
    std::vector<RecordedRequest> requests() const;
    void clearRequests();

    /// Runs SQL against the service's database (for tests and tools) and returns its rows as
    /// text. Throws std::runtime_error on a SQL error.
    QueryRows query(const std::string& sql) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace palletry_service
