// Starting and stopping instances, big seed data, database files and the executable.
#include "ServiceTestClient.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace servicetest;
using palletry_service::Options;
using palletry_service::ReferenceService;

TEST(ServiceLifecycle, InstancesStartAndStopConcurrentlyOnTheirOwnPorts)
{
    constexpr int instances = 4;
    std::vector<std::uint16_t> ports(instances);
    std::vector<std::string> trucks(instances);
    std::vector<std::thread> threads;
    for (int i = 0; i < instances; ++i) {
        threads.emplace_back([&, i] {
            for (int round = 0; round < 3; ++round) {
                ReferenceService service;
                if (!service.start())
                    return;
                ports[i] = service.port();
                const auto header = read(service, "GetVendorIncomingLoad", element("IncomingLoadID", "1001"));
                trucks[i] = header.empty() ? "" : header[0].at("TruckNumber");
                service.stop();
                if (service.port() != 0 || service.isRunning())
                    trucks[i] = "still running";
            }
        });
    }
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < instances; ++i) {
        EXPECT_NE(ports[i], 0);
        EXPECT_EQ(trucks[i], "TRK-0417");
    }
}

TEST(ServiceLifecycle, StartStopAndRestart)
{
    ReferenceService service;
    EXPECT_EQ(service.port(), 0);
    ASSERT_TRUE(service.start());
    EXPECT_FALSE(service.start()); // already running
    const std::uint16_t first = service.port();
    EXPECT_EQ(service.serverName(), "http://127.0.0.1:" + std::to_string(first));
    EXPECT_EQ(service.url(), service.serverName() + "/WebServices/KLTVWebservice/KLTVWebservice.asmx");

    ReferenceService other;
    EXPECT_FALSE(other.start(first)); // the port is taken

    service.stop();
    service.stop();
    httplib::Client client("127.0.0.1", first);
    client.set_connection_timeout(1, 0);
    EXPECT_FALSE(client.Post(palletry_service::ServicePath, "", "text/xml"));

    ASSERT_TRUE(service.start());
    EXPECT_EQ(read(service, "GetVendorDataVendorMaster", "").size(), 36u);
    EXPECT_EQ(service.demoLoadId(), 1001);
    EXPECT_EQ(service.emptyLoadId(), 1004);
}

TEST(ServiceLifecycle, BigDataSeedsVendorsAndOneLoadOfOrders)
{
    Options options;
    options.vendors = 3000;
    options.orders = 40;
    options.lines = 3;
    ReferenceService service(options);
    ASSERT_TRUE(service.start());
    EXPECT_EQ(service.demoLoadId(), 1);
    EXPECT_EQ(service.emptyLoadId(), 2);
    const auto vendors = read(service, "GetVendorDataVendorMaster", "");
    ASSERT_EQ(vendors.size(), 3000u);
    EXPECT_EQ(vendors[9].at("Name"), "Vendor 00010 & Sons");
    const auto onLoad = read(service, "GetVendorHomeDeliverly", element("IncomingLoadID", "1"));
    ASSERT_EQ(onLoad.size(), 40u);
    EXPECT_EQ(onLoad[0].at("OrderID"), "00000000001");
    EXPECT_EQ(read(service, "GetOrderDetails", element("OrderID", "00000000040") + element("IncomingLoadID", "1")).size(), 3u);
    EXPECT_TRUE(read(service, "GetVendorHomeDeliverly", element("IncomingLoadID", "2")).empty());

    Options oneOrder;
    oneOrder.orders = 1;
    oneOrder.lines = 2000;
    ReferenceService single(oneOrder);
    ASSERT_TRUE(single.start());
    EXPECT_EQ(read(single, "GetOrderDetails", element("OrderID", "00000000001") + element("IncomingLoadID", "1")).size(), 2000u);
    EXPECT_EQ(read(single, "GetVendorDataVendorMaster", "").size(), 1u);
}

TEST(ServiceLifecycle, ADatabaseFileKeepsWritesAndIsNotSeededAgain)
{
    const auto path = std::filesystem::temp_directory_path() / ("palletry-service-" + std::to_string(getpid()) + ".db");
    std::filesystem::remove(path);
    Options options;
    options.dbPath = path.string();
    {
        ReferenceService service(options);
        ASSERT_TRUE(service.start());
        const Reply r = call(service, "DeletePO", body("DeletePO", element("OrderID", "00000010031") + element("OrderSegment", "1")));
        EXPECT_EQ(r.status, 200) << r.body;
    }
    {
        ReferenceService service(options);
        EXPECT_EQ(service.query("SELECT COUNT(*) FROM OrderSegments WHERE OrderID = '00000010031'")[0][0], "0");
        EXPECT_EQ(service.query("SELECT COUNT(*) FROM Vendors")[0][0], "36");
        EXPECT_EQ(service.demoLoadId(), 1001);
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path.string() + suffix);
}

TEST(ServiceLifecycle, ExecutablePrintsItsUrlAndStopsOnSigterm)
{
    const auto exe = std::filesystem::read_symlink("/proc/self/exe").parent_path() / ".." / "service" / "palletry-service";
    ASSERT_TRUE(std::filesystem::exists(exe)) << exe;
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(exe.c_str(), exe.c_str(), "--port", "0", "--vendors", "5", "--orders", "2", "--lines", "1", nullptr);
        _exit(127);
    }
    close(out[1]);
    FILE* stream = fdopen(out[0], "r");
    char line[256] = {};
    const bool gotLine = fgets(line, sizeof line, stream) != nullptr;
    std::string url = line;
    if (!url.empty() && url.back() == '\n')
        url.pop_back();
    const std::string prefix = "http://127.0.0.1:";
    const std::string suffix = "/WebServices/KLTVWebservice/KLTVWebservice.asmx";
    EXPECT_TRUE(gotLine);
    ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
    ASSERT_GT(url.size(), prefix.size() + suffix.size());
    const int port = std::stoi(url.substr(prefix.size()));
    EXPECT_EQ(url.substr(url.size() - suffix.size()), suffix);

    httplib::Client client("127.0.0.1", port);
    const auto result = client.Post(suffix.c_str(), {{"SOAPAction", NS + "/GetVendorDataVendorMaster"}},
                                    envelope("<GetVendorDataVendorMaster xmlns=\"" + NS + "\" />"), "text/xml; charset=utf-8");
    ASSERT_TRUE(result);
    Reply reply{result->status, result->body, ""};
    EXPECT_EQ(rows(resultText(reply, "GetVendorDataVendorMaster")).size(), 5u);

    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    fclose(stream);
}

// The control's HTTP stack sends the server text as Host header and may ask for
// "100 Continue" before the body; the service must answer both like any web server.
TEST(ServiceLifecycle, RawRequestWithSchemeInHostAndExpectContinue)
{
    ReferenceService service;
    ASSERT_TRUE(service.start());
    const std::string body = envelope(servicetest::body("GetVendorIncomingLoad", element("IncomingLoadID", "1001")));
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(service.port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const std::string head = std::string("POST ") + palletry_service::ServicePath + " HTTP/1.1\r\n"
                             + "Host: " + service.serverName() + "\r\n"
                             + "Content-Type: text/xml; charset=utf-8\r\n"
                             + "Content-Length: " + std::to_string(body.size()) + "\r\n"
                             + "SOAPAction: " + NS + "/GetVendorIncomingLoad\r\n"
                             + "Expect: 100-continue\r\nConnection: close\r\n\r\n";
    ASSERT_EQ(send(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    char buffer[65536];
    std::string received;
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    received.assign(buffer, n > 0 ? n : 0);
    EXPECT_EQ(received.rfind("HTTP/1.1 100 Continue\r\n\r\n", 0), 0u) << received;
    ASSERT_EQ(send(fd, body.data(), body.size(), 0), static_cast<ssize_t>(body.size()));
    while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0)
        received.append(buffer, n);
    close(fd);
    EXPECT_NE(received.find("HTTP/1.1 200 OK\r\n"), std::string::npos) << received.substr(0, 300);
    EXPECT_NE(received.find("Content-Type: text/xml; charset=utf-8\r\n"), std::string::npos);
    EXPECT_NE(received.find("&lt;TruckNumber&gt;TRK-0417&lt;/TruckNumber&gt;"), std::string::npos);
}
