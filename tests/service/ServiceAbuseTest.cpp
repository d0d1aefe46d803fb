// The reference service against clients that misbehave on purpose: slow ones
// are cut off while others are served, and bodies it will not read are refused
// before they are read.
#include "ServiceTestClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace servicetest;
using palletry_service::ReferenceService;
using Clock = std::chrono::steady_clock;

namespace {

struct Connection {
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
    std::string receive(std::chrono::milliseconds wait)
    {
        std::string out;
        char buffer[4096];
        for (const auto end = Clock::now() + wait; Clock::now() < end;) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, int(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count())) <= 0)
                break;
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

std::string requestHead(const ReferenceService& service, const std::string& extraHeaders)
{
    return "POST " + std::string(palletry_service::ServicePath) + " HTTP/1.1\r\nHost: 127.0.0.1:"
        + std::to_string(service.port()) + "\r\nContent-Type: text/xml; charset=utf-8\r\nSOAPAction: " + NS
        + "/GetVendorDataVendorMaster\r\n" + extraHeaders + "\r\n";
}

TEST(ServiceAbuseTest, SlowClientsAreCutOffWhileOthersAreServed)
{
    palletry_service::Options options;
    options.requestTime = std::chrono::milliseconds(1500);
    ReferenceService service(options);
    ASSERT_TRUE(service.start());
    // More slow clients than the old pool had workers, each sending a header line now and then.
    std::vector<std::unique_ptr<Connection>> slow;
    for (int i = 0; i < 12; ++i) {
        slow.push_back(std::make_unique<Connection>(service.port()));
        ASSERT_TRUE(slow.back()->connected);
        slow.back()->send("POST / HTTP/1.1\r\n");
    }
    std::atomic<bool> dribbling{true};
    std::thread dribbler([&] {
        while (dribbling) {
            for (auto& c : slow)
                c->send("X-Slow: 1\r\n");
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    const auto before = Clock::now();
    const Reply reply = call(service, "GetVendorDataVendorMaster",
                             "<GetVendorDataVendorMaster xmlns=\"" + NS + "\" />");
    EXPECT_EQ(reply.status, 200);
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(1000)); // not after the slow ones
    // Past the bound every slow client has been cut off, although it kept sending.
    for (auto& c : slow) {
        c->receive(std::chrono::milliseconds(3000));
        EXPECT_TRUE(c->closedByServer);
    }
    dribbling = false;
    dribbler.join();
}

TEST(ServiceAbuseTest, BodiesItWillNotReadAreRefusedUnread)
{
    ReferenceService service;
    ASSERT_TRUE(service.start());
    struct Case {
        const char* what;
        std::string headers;
        std::string status;
    };
    const Case cases[] = {
        {"over 4 MiB", "Content-Length: 4194305\r\n", "HTTP/1.1 413 "},
        {"compressed", "Content-Length: 20\r\nContent-Encoding: gzip\r\n", "HTTP/1.1 415 "},
        {"no length", "Transfer-Encoding: chunked\r\n", "HTTP/1.1 411 "},
    };
    for (const Case& c : cases) {
        // Only the head goes out: the answer must come without the body.
        Connection connection(service.port());
        ASSERT_TRUE(connection.send(requestHead(service, c.headers)));
        const std::string answer = connection.receive(std::chrono::milliseconds(3000));
        EXPECT_EQ(answer.rfind(c.status, 0), 0u) << c.what << ": " << answer;
        EXPECT_TRUE(connection.closedByServer) << c.what;
    }
    EXPECT_TRUE(service.requests().empty());
    // At the limit the body is read and answered.
    const std::string envelopeText = envelope("<GetVendorDataVendorMaster xmlns=\"" + NS + "\" />");
    const std::string padded = envelopeText + std::string((4u << 20) - envelopeText.size(), ' ');
    EXPECT_EQ(post(service, (NS + "/GetVendorDataVendorMaster").c_str(), padded).status, 200);
}

} // namespace
