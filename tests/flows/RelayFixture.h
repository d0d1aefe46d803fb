#pragma once

// The control on a load of the reference service through a relay on the rig's server,
// which passes every call on and can answer instead, or hold a call back.

#include "ClerkFixture.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

namespace palletry::test {

using Rows = palletry_service::QueryRows;

/// 5001's earlier deliveries stand on loads 1002 and 1003; load 1235 is another clerk's.
struct RelayFixture : ClerkFixture
{
    Texts moreSeed() const override
    {
        return {"INSERT INTO Loads(IncomingLoadID, TruckNumber) VALUES (1235, 'TRK-1235')",
                "INSERT INTO OrderSegments VALUES ('00000005002', 1, 1234, 24, '22222', 'B', '15', '2')"};
    }
    bool opensTheLoad() const override { return false; }
    ~RelayFixture() override { released = true; } // a call still held lets the server stop

    /// What the relay answers for an operation instead of the service's own reply (given as argument).
    std::map<std::string, std::function<CannedReply(const std::string&)>> instead;
    /// Operations the relay holds until released: then passed on (true), or answered 503 unsent (false).
    std::map<std::string, bool> held;
    std::atomic<bool> released{false};

    void SetUp() override
    {
        ClerkFixture::SetUp();
        // The control talks to the rig's server, which passes every call on to the service.
        rig.server.setHandler([this](const RecordedRequest& request) {
            const std::string action = request.header("SOAPAction");
            const std::string operation = operationOf(action.substr(0, action.find_last_not_of('"') + 1));
            if (const auto hold = held.find(operation); hold != held.end()) {
                for (int waited = 0; !released && waited < 2000; ++waited)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                if (!hold->second)
                    return CannedReply::html("<p>Not passed on</p>", 503, "Service Unavailable");
            }
            httplib::Client client("127.0.0.1", service.port());
            const auto reply = client.Post(palletry_service::ServicePath, {{"SOAPAction", action}}, request.body,
                                           "text/xml; charset=utf-8");
            const std::string body = reply ? reply->body : std::string();
            const auto tamper = instead.find(operation);
            if (tamper != instead.end())
                return tamper->second(body);
            return CannedReply::xml(body, reply ? reply->status : 502, "Relayed");
        });
        control.SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
        control.LoadData(rig.server.serverName(), Load);
        control.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&control));
        ASSERT_EQ(rig.recorder.errorReportCount(), 0);
        service.clearRequests();
    }
    static CannedReply lost(const std::string&) { return CannedReply::html("<p>Bad gateway</p>", 502, "Bad Gateway"); }
    /// Vendor 42's orders selected, @p order taken up and its line clicked in column @p col.
    void takeUp(const QString& order, int line, int col = 1)
    {
        if (s.lstSelectedPOs->count() == 0) {
            openVendor(QStringLiteral("42"));
            click(s.cmdSelectAll);
        }
        openOrder(order);
        clickCell(*s.grdOrdItems, line, col);
    }
    Rows details(const char* order) { return rowsOf(std::string("SELECT Segment, LineItem, UnitWeight FROM LineItemDetails WHERE OrderID = '") + order + "' ORDER BY Segment"); }
    Rows loadsOf(const char* order) { return rowsOf(std::string("SELECT IncomingLoadID, Segment FROM OrderSegments WHERE OrderID = '") + order + "' ORDER BY Segment"); }
};


} // namespace palletry::test
