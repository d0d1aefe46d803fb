// The reference service against clients that misbehave on purpose: slow ones, any number of
// them, are cut off while others are served; bodies it will not read are refused before they
// are read, bodies of more elements than any operation takes before they are parsed; large
// refused requests leave no memory behind, and neither overlong texts nor entries older than
// the stored one are stored.
#include "ServiceTestClient.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

using namespace servicetest;
using palletry_service::ReferenceService;

#if defined(__has_feature)
#define PALLETRY_CLANG_ASAN __has_feature(address_sanitizer)
#else
#define PALLETRY_CLANG_ASAN 0
#endif

namespace {

// A raw connection, for what no well-behaved HTTP client sends.
struct Connection
{
    explicit Connection(std::uint16_t port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Connection() { close(fd); }
    bool send(const std::string& bytes) { return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) > 0; }
    /// What arrives until nothing more comes for waitMs or the server hangs up.
    std::string receive(int waitMs)
    {
        std::string out;
        char buffer[4096];
        for (pollfd p{fd, POLLIN, 0}; poll(&p, 1, waitMs) > 0;) {
            const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
            if ((closedByServer = got <= 0))
                break;
            out.append(buffer, std::size_t(got));
        }
        return out;
    }
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    bool connected = false;
    bool closedByServer = false;
};

long statusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

long residentKb()
{
    return statusKb("VmRSS:");
}

// The process's highest resident size so far.
long peakResidentKb()
{
    return statusKb("VmHWM:");
}

// A whole POST of @p envelopeText to the service path, to send on a raw connection.
std::string rawRequest(const std::string& operation, const std::string& envelopeText)
{
    return "POST " + std::string(palletry_service::ServicePath) + " HTTP/1.1\r\nHost: x\r\nContent-Type: text/xml; "
           "charset=utf-8\r\nSOAPAction: " + NS + "/" + operation + "\r\nContent-Length: "
           + std::to_string(envelopeText.size()) + "\r\n\r\n" + envelopeText;
}

// Clients that send their requests a little at a time and connect again whenever cut off: half
// never finish the head, half announce a body and send it a byte at a time.
class SlowCrowd
{
public:
    SlowCrowd(std::uint16_t port, int count) : thread_([this, port, count] { run(port, count); }) {}
    ~SlowCrowd()
    {
        stop_ = true;
        thread_.join();
    }
    /// How often the service has cut one of them off so far.
    int cuts() const { return cuts_; }

private:
    void run(std::uint16_t port, int count)
    {
        const std::string head = "POST " + std::string(palletry_service::ServicePath) + " HTTP/1.1\r\nHost: x\r\n";
        const auto open = [&](int i) {
            auto c = std::make_unique<Connection>(port);
            c->send(i % 2 ? head : head + "Content-Length: 100000\r\n\r\n");
            return c;
        };
        std::vector<std::unique_ptr<Connection>> crowd;
        for (int i = 0; i < count; ++i)
            crowd.push_back(open(i));
        for (; !stop_; std::this_thread::sleep_for(std::chrono::milliseconds(200))) {
            for (int i = 0; i < count; ++i) {
                crowd[i]->receive(0);
                if (crowd[i]->closedByServer || !crowd[i]->send(i % 2 ? "X-Slow: 1\r\n" : "<")) {
                    crowd[i] = open(i);
                    ++cuts_;
                }
            }
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<int> cuts_{0};
    std::thread thread_;
};

TEST(ServiceAbuseTest, MoreSlowClientsThanWorkersAreCutOffAtTheBoundFromAcceptanceAndHoldUpNeitherReadsNorShutdown)
{
    palletry_service::Options options;
    options.requestTime = std::chrono::milliseconds(1500);
    options.threads = 2;
    ReferenceService service(options);
    ASSERT_TRUE(service.start());
    SlowCrowd crowd(service.port(), 12); // more than the workers, reconnecting whenever cut off
    const std::string head = "POST " + std::string(palletry_service::ServicePath)
                             + " HTTP/1.1\r\nHost: x\r\nContent-Type: text/xml\r\nSOAPAction: " + NS
                             + "/GetVendorDataVendorMaster\r\n";
    // One announces more than it sends and half-closes: it is told so, not left in silence.
    Connection shortBody(service.port());
    ASSERT_TRUE(shortBody.send(head + "Content-Length: 100\r\n\r\n<soap:Envelope"));
    shutdown(shortBody.fd, SHUT_WR);
    // And one that never finishes its head is told why it is cut off.
    Connection slowHead(service.port());
    ASSERT_TRUE(slowHead.send(head));
    // A read is served while they all still hold their connections, not once their time runs out.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(read(service, "GetVendorDataVendorMaster", "").size(), 36u);
    EXPECT_EQ(crowd.cuts(), 0);
    // One behind them all spends most of its time on its head, then trickles its body: its time
    // counts from its acceptance, not from when its request was taken up.
    Connection late(service.port());
    ASSERT_TRUE(late.send(head));
    std::string lateAnswer;
    for (const char* line : {"Content-Length: 100000\r\n", "X-Slow: 1\r\n", "X-Slow: 2\r\n", "\r\n"})
        if (lateAnswer += late.receive(300); late.closedByServer || !late.send(line))
            break;
    const auto headOut = std::chrono::steady_clock::now();
    while (!late.closedByServer && std::chrono::steady_clock::now() - headOut < std::chrono::seconds(10))
        if (late.send("<"))
            lateAnswer += late.receive(100);
    EXPECT_LT(std::chrono::steady_clock::now() - headOut, options.requestTime);
    EXPECT_EQ(lateAnswer.rfind("HTTP/1.1 408 ", 0), 0u) << lateAnswer;
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_GE(crowd.cuts(), 12);
    const std::string answer = shortBody.receive(5000);
    EXPECT_TRUE(answer.rfind("HTTP/1.1 400 ", 0) == 0 || answer.rfind("HTTP/1.1 408 ", 0) == 0) << answer;
    const std::string cut = slowHead.receive(5000);
    EXPECT_EQ(cut.rfind("HTTP/1.1 408 ", 0), 0u) << cut;
    // A client that sends nothing at all does not hold the shutdown either.
    Connection idle(service.port());
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // a worker has taken it
    const auto stopping = std::chrono::steady_clock::now();
    service.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(5));
}

TEST(ServiceAbuseTest, BodiesItWillNotReadAreRefusedUnread)
{
    ReferenceService service{palletry_service::Options::recording()};
    ASSERT_TRUE(service.start());
    const std::pair<std::string, std::string> cases[] = {
        {"Content-Length: 4194305\r\n", "HTTP/1.1 413 "},
        {"Content-Length: 20\r\nContent-Encoding: gzip\r\n", "HTTP/1.1 415 "},
        {"Transfer-Encoding: chunked\r\n", "HTTP/1.1 411 "},
        // Which of two lengths frames the body is not the service's guess (RFC 9112 6.3).
        {"Content-Length: 5\r\nContent-Length: 6\r\n", "HTTP/1.1 400 "},
    };
    for (const auto& [headers, status] : cases) {
        // Only the head goes out: the answer must come without the body.
        Connection connection(service.port());
        ASSERT_TRUE(connection.send("POST " + std::string(palletry_service::ServicePath) + " HTTP/1.1\r\nHost: x\r\n"
                                    "Content-Type: text/xml; charset=utf-8\r\nSOAPAction: " + NS
                                    + "/GetVendorDataVendorMaster\r\n" + headers + "\r\n"));
        const std::string answer = connection.receive(3000);
        EXPECT_EQ(answer.rfind(status, 0), 0u) << headers << answer;
        EXPECT_TRUE(connection.closedByServer) << headers;
    }
    EXPECT_TRUE(service.requests().empty());
    // At the limit the body is read and answered.
    const std::string envelopeText = envelope(body("GetVendorDataVendorMaster", ""));
    const std::string padded = envelopeText + std::string((4u << 20) - envelopeText.size(), ' ');
    EXPECT_EQ(post(service, (NS + "/GetVendorDataVendorMaster").c_str(), padded).status, 200);
}

TEST(ServiceAbuseTest, RefusedLargeRequestsLeaveNoMemoryBehindAndTheirFaultsQuoteLittle)
{
#if defined(__SANITIZE_ADDRESS__) || PALLETRY_CLANG_ASAN
    GTEST_SKIP() << "AddressSanitizer's allocator keeps freed blocks in quarantine: no measure of the service's memory";
#endif
    ReferenceService service;
    ASSERT_TRUE(service.start());
    // One orders-array entry of 3.9 MB that is not ten fields: the fault names it by its start only.
    const std::string large =
        envelope(body("AddPO", "<OrdersArray><string>" + std::string(3900000, '>') + "</string></OrdersArray>"));
    const long before = residentKb();
    for (int i = 0; i < 200; ++i) {
        const Reply reply = post(service, (NS + "/AddPO").c_str(), large);
        ASSERT_EQ(reply.status, 500);
        ASSERT_LT(fault(reply).second.size(), 400u) << fault(reply).second.substr(0, 400);
    }
    const long after = residentKb();
    std::printf("resident size: %ld kB before, %ld kB after 200 refused requests of 3.9 MB\n", before, after);
    EXPECT_LT(after - before, 50 * 1024);
}

TEST(ServiceAbuseTest, BodiesOfMoreElementsOrDepthThanAnOperationNeedsAreRefusedWithBoundedMemory)
{
#if defined(__SANITIZE_ADDRESS__) || PALLETRY_CLANG_ASAN
    GTEST_SKIP() << "AddressSanitizer's allocator keeps freed blocks in quarantine: no measure of the service's memory";
#endif
    ReferenceService service;
    ASSERT_TRUE(service.start());
    std::string nested;
    for (int i = 0; i < 40; ++i)
        nested = "<a>" + nested + "</a>";
    const Reply deep = call(service, "GetVendorDataVendorMaster", nested);
    EXPECT_EQ(deep.status, 500);
    EXPECT_EQ(fault(deep).first, "soap:Client");

    // From 32 clients at once: a million empty elements in just under 4 MiB, refused unparsed;
    // then 99,000, which are parsed. Each sent from one copy, so that the resident size is the
    // service's; what the parses took goes back to the system.
    std::string elements;
    elements.reserve(4000000);
    for (int i = 0; i < 1000000; ++i)
        elements += "<a/>";
    const std::string million = rawRequest("GetVendorDataVendorMaster", envelope(body("GetVendorDataVendorMaster", elements)));
    elements.resize(4 * 99000);
    const std::string most = rawRequest("GetVendorDataVendorMaster", envelope(body("GetVendorDataVendorMaster", elements)));
    elements = std::string();
    ASSERT_LT(million.size(), std::size_t(4) << 20);
    const long before = residentKb();
    for (const std::string* request : {&million, &most}) {
        std::vector<std::string> answers(32);
        std::vector<std::thread> clients;
        for (std::string& answer : answers)
            clients.emplace_back([&] {
                Connection connection(service.port());
                if (connection.send(*request))
                    answer = connection.receive(60000);
            });
        for (std::thread& client : clients)
            client.join();
        for (const std::string& answer : answers) {
            if (request == &most) {
                EXPECT_EQ(answer.rfind("HTTP/1.1 200 ", 0), 0u) << answer.substr(0, 300);
                continue;
            }
            EXPECT_EQ(answer.rfind("HTTP/1.1 500 ", 0), 0u) << answer.substr(0, 300);
            EXPECT_NE(answer.find("<faultcode>soap:Client</faultcode>"), std::string::npos) << answer.substr(0, 600);
        }
    }
    const long after = residentKb();
    const long peak = peakResidentKb();
    std::printf("resident size: %ld kB before, %ld kB peak, %ld kB after 32 bodies of a million elements and 32 of"
                " 99,000 at once\n", before, peak, after);
    EXPECT_LT(peak, 150 * 1024);
    EXPECT_LT(after - before, 20 * 1024);
}

TEST(ServiceAbuseTest, AnOlderLineItemEntryArrivingLateIsRefusedAndTheNewerOneStays)
{
    ReferenceService service;
    ASSERT_TRUE(service.start());
    const auto save = [&](const std::string& weight, const std::string& stamp) {
        std::string inner = element("OrderID", "00000010011") + element("KLTV_OrderSegment", "2")
            + element("LineItem", "1") + element("ReceivedDate", stamp) + element("QuantityReceived", "0")
            + element("UnitWeight", weight) + element("PersonID", "15") + element("PersonType", "2")
            + element("RecordLastUpdated", stamp) + element("UnloadedIndicator", "0")
            + element("StorageIndicator", "0");
        return call(service, "AddPODetails", inner);
    };
    const auto stored = [&] {
        return service.query("SELECT UnitWeight, RecordLastUpdated FROM LineItemDetails"
                             " WHERE OrderID = '00000010011' AND Segment = 2 AND LineItem = 1");
    };
    ASSERT_EQ(save("22.5", "2026-12-07T10:15:02").status, 200);
    // The save the clerk cancelled, held up in the network, arrives after the one that followed it.
    const Reply late = save("11.5", "2026-12-07T10:14:58");
    EXPECT_EQ(late.status, 500);
    EXPECT_EQ(fault(late).first, "soap:Server");
    EXPECT_NE(fault(late).second.find("a newer entry of this line item is stored"), std::string::npos)
        << fault(late).second;
    EXPECT_EQ(stored(), (palletry_service::QueryRows{{"22.5", "2026-12-07T10:15:02"}}));
    // The same time is not older; times compare as times, whichever way they are written.
    EXPECT_EQ(save("23.5", "2026-12-07T10:15:02").status, 200);
    EXPECT_EQ(save("24.5", "12/7/2026 10:20:00 AM").status, 200);
    EXPECT_EQ(save("25.5", "12/7/2026 9:59:00 AM").status, 500);
    EXPECT_EQ(save("26.5", "2026-12-07T10:19:59.5").status, 500);
    EXPECT_EQ(stored(), (palletry_service::QueryRows{{"24.5", "12/7/2026 10:20:00 AM"}}));
}

TEST(ServiceAbuseTest, OverlongTextsAreRefusedAndNothingIsStored)
{
    ReferenceService service;
    ASSERT_TRUE(service.start());
    // Limits count characters, not bytes: "\u00e9" is two bytes of UTF-8.
    const auto text = [](std::size_t characters) {
        std::string t;
        for (std::size_t i = 0; i < characters; ++i)
            t += "\u00e9";
        return t;
    };
    // Each case writes an order of its own, or other values of one line item, so that a stored one changes the tables.
    const auto entry = [&](std::size_t field, const std::string& value) {
        std::string fields[] = {"0000001000" + std::to_string(field % 5 + 1), "1", "1", "4096", "1001", "5", "30301", "A",
                                "15", "2"},
                    joined;
        fields[field] = value;
        for (const std::string& f : fields)
            joined += (joined.empty() ? "" : ";") + f;
        return "<OrdersArray><string>" + joined + "</string></OrdersArray>";
    };
    const auto details = [&](const std::string& field, const std::string& value) {
        std::string inner;
        for (const char* name : {"ReceivedDate", "PersonType", "RecordLastUpdated"})
            inner += element(name, name == field ? value : "11/16/2026 9:30:00 AM");
        return element("OrderID", "00000010011") + element("KLTV_OrderSegment", "2")
            + element("LineItem", "1") + inner;
    };
    const auto snapshot = [&] {
        return std::make_pair(service.query("SELECT * FROM OrderSegments ORDER BY 1, 2"),
                              service.query("SELECT * FROM LineItemDetails ORDER BY 1, 2, 3"));
    };
    struct Case
    {
        const char* op;
        const char* field;
        std::size_t entryField; // AddPO's place in the entry
        std::size_t limit;
    };
    const Case cases[] = {
        {"AddPO", "OrderID", 0, 32},          {"AddPO", "PostalCode", 6, 20},       {"AddPO", "FreightGroup", 7, 32},
        {"AddPO", "PersonID", 8, 32},         {"AddPO", "PersonType", 9, 32},       {"AddPODetails", "ReceivedDate", 0, 48},
        {"AddPODetails", "PersonType", 0, 32}, {"AddPODetails", "RecordLastUpdated", 0, 48},
    };
    for (const Case& c : cases) {
        const bool addPO = std::string(c.op) == "AddPO";
        const auto request = [&](std::size_t characters) {
            if (std::string(c.field) == "RecordLastUpdated") // a time, to be stored: its second's fraction fills it
                return details(c.field, "2026-11-16T09:30:00." + std::string(characters - 20, '0'));
            return addPO ? entry(c.entryField, text(characters)) : details(c.field, text(characters));
        };
        const auto before = snapshot();
        const Reply reply = call(service, c.op, request(c.limit + 1));
        EXPECT_EQ(reply.status, 500) << c.field;
        EXPECT_NE(fault(reply).second.find(c.field), std::string::npos) << c.field << ": " << fault(reply).second.substr(0, 200);
        EXPECT_TRUE(snapshot() == before) << c.field;
        // At the limit it is stored (an order id only names an order that exists).
        if (std::string(c.field) == "OrderID")
            continue;
        const Reply stored = call(service, c.op, request(c.limit));
        EXPECT_EQ(stored.status, 200) << c.field << ": " << fault(stored).second.substr(0, 200);
        EXPECT_TRUE(snapshot() != before) << c.field;
    }
}

} // namespace
