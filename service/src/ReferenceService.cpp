#include "palletry_service/ReferenceService.h"

#include "DemoData.h"
#include "HttpServer.h"
#include "LoadDatabase.h"
#include "ServiceDescription.h"
#include "ServiceDispatcher.h"

#include <strings.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>

namespace palletry_service {

struct ReferenceService::Private {
    explicit Private(const Options& options)
        : requestTime(options.requestTime), threads(options.threads), record(options.record), database(options.dbPath),
          dispatcher(database, databaseMutex)
    {
        if (!database.isEmpty())
            return; // a database file that already holds data is served as it is
        if (options.vendors > 0 || options.orders > 0 || options.lines > 0)
            DemoData::seedBig(database, options.vendors, options.orders, options.lines);
        else if (options.demoData)
            DemoData::seedDemo(database);
    }

    /// What is served: the operations on the service path by POST, the page about them and
    /// the WSDL (?WSDL) by GET.
    HttpReply serve(HttpRequest& request)
    {
        if (request.path != ServicePath)
            return {404, "text/plain", "There is no service at this path.\n", {}};
        if (request.method == "GET" || request.method == "HEAD") {
            const std::string address = "http://127.0.0.1:" + std::to_string(request.port) + ServicePath;
            const auto& names = request.argumentNames;
            const bool wsdl = std::any_of(names.begin(), names.end(),
                                          [](const std::string& name) { return strcasecmp(name.c_str(), "wsdl") == 0; });
            if (wsdl)
                return {200, "text/xml; charset=utf-8", ServiceDescription::wsdl(address), {}};
            return {200, "text/html; charset=utf-8", ServiceDescription::page(address), {}};
        }
        if (request.method != "POST")
            return {405, "text/plain", "The service takes GET and POST.\n", {{"Allow", "GET, HEAD, POST"}}};
        ServiceReply reply = request.bodyRefusal.empty() ? dispatcher.handle(request.soapAction, request.body)
                                                         : ServiceDispatcher::unreadable(request.bodyRefusal);
        // Recorded before the reply goes out, so a client that has its answer sees it.
        if (record.maxRequests > 0)
            remember({request.soapAction, std::move(request.body), reply.status});
        return {reply.status, "text/xml; charset=utf-8", std::move(reply.body), {}};
    }

    void remember(RecordedRequest request)
    {
        std::lock_guard<std::mutex> lock(requestsMutex);
        requestBytes += request.body.size();
        requests.push_back(std::move(request));
        while (requests.size() > 1
               && (requests.size() > record.maxRequests || requestBytes > record.maxBodyBytes)) {
            requestBytes -= requests.front().body.size();
            requests.pop_front();
        }
    }

    std::chrono::milliseconds requestTime;
    unsigned threads;
    RequestRecord record;
    mutable std::mutex databaseMutex; // SQLite is used from the server's pool threads
    LoadDatabase database;
    ServiceDispatcher dispatcher;

    mutable std::mutex requestsMutex;
    std::deque<RecordedRequest> requests;
    std::size_t requestBytes = 0; // of the bodies in requests

    std::mutex lifeMutex; // start and stop
    std::unique_ptr<HttpServer> server;
};

ReferenceService::ReferenceService(Options options) : d(std::make_unique<Private>(options)) {}

ReferenceService::~ReferenceService()
{
    stop();
}

bool ReferenceService::start(std::uint16_t port)
{
    std::lock_guard<std::mutex> life(d->lifeMutex);
    if (d->server)
        return false;
    HttpLimits limits;
    limits.requestTime = d->requestTime;
    limits.threads = std::max(1u, d->threads);
    auto server = std::make_unique<HttpServer>(limits, [this](HttpRequest& request) { return d->serve(request); });
    if (!server->start(port))
        return false;
    d->server = std::move(server);
    return true;
}

void ReferenceService::stop()
{
    std::lock_guard<std::mutex> life(d->lifeMutex);
    if (!d->server)
        return;
    d->server->stop();
    d->server.reset();
}

bool ReferenceService::isRunning() const
{
    std::lock_guard<std::mutex> life(d->lifeMutex);
    return d->server != nullptr;
}

std::uint16_t ReferenceService::port() const
{
    std::lock_guard<std::mutex> life(d->lifeMutex);
    return d->server ? d->server->port() : 0;
}

std::string ReferenceService::serverName() const
{
    return "http://127.0.0.1:" + std::to_string(port());
}

std::string ReferenceService::url() const
{
    return serverName() + ServicePath;
}

std::int32_t ReferenceService::demoLoadId() const
{
    std::lock_guard<std::mutex> lock(d->databaseMutex);
    return d->database.demoLoadId();
}

std::int32_t ReferenceService::emptyLoadId() const
{
    std::lock_guard<std::mutex> lock(d->databaseMutex);
    return d->database.emptyLoadId();
}

std::vector<RecordedRequest> ReferenceService::requests() const
{
    std::lock_guard<std::mutex> lock(d->requestsMutex);
    return {d->requests.begin(), d->requests.end()};
}

void ReferenceService::clearRequests()
{
    std::lock_guard<std::mutex> lock(d->requestsMutex);
    d->requests.clear();
    d->requestBytes = 0;
}

QueryRows ReferenceService::query(const std::string& sql) const
{
    std::lock_guard<std::mutex> lock(d->databaseMutex);
    return d->database.query(sql);
}

} // namespace palletry_service
