#include "BenchData.h"

#include "soap/Envelopes.h"
#include "soap/ServiceNamespace.h"

#include <palletry_service/ReferenceService.h>

#include <httplib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <stdexcept>
#include <unordered_set>

namespace palletry::bench {

std::string requestEnvelope(const QString& operationBody)
{
    QString envelope = Envelopes::WrapSOAPEnvelope();
    envelope.replace(QStringLiteral("XMLData"), operationBody);
    return envelope.toStdString();
}

QString emptyOperationBody(const char* operation)
{
    QString body = Envelopes::operationStartTag(operation);
    body.insert(body.size() - 1, QLatin1String(" /"));
    return body;
}

std::string postToService(const palletry_service::ReferenceService& service, const char* operation,
                          const std::string& envelope)
{
    return postToPort(service.port(), operation, envelope);
}

std::string postToPort(int port, const char* operation, const std::string& envelope)
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(60, 0);
    const httplib::Headers headers{{"SOAPAction", std::string(ServiceNamespace) + "/" + operation}};
    const auto result = client.Post(palletry_service::ServicePath, headers, envelope, "text/xml; charset=utf-8");
    if (!result)
        throw std::runtime_error(std::string(operation) + ": no reply (" + httplib::to_string(result.error()) + ")");
    if (result->status != 200)
        throw std::runtime_error(std::string(operation) + ": HTTP status " + std::to_string(result->status));
    return result->body;
}

std::string vendorMasterReply(const palletry_service::ReferenceService& service)
{
    return postToService(service, "GetVendorDataVendorMaster",
                         requestEnvelope(emptyOperationBody("GetVendorDataVendorMaster")));
}

std::vector<std::pair<const char*, std::string>> openingRequests(std::int32_t loadId)
{
    const QString load = QStringLiteral("<IncomingLoadID>%1</IncomingLoadID>").arg(loadId);
    auto withLoad = [&](const char* operation) {
        return requestEnvelope(QStringLiteral("<%1 xmlns=\"%2\">%3</%1>")
                                   .arg(QLatin1String(operation), QLatin1String(ServiceNamespace), load));
    };
    return {{"GetVendorIncomingLoad", withLoad("GetVendorIncomingLoad")},
            {"GetVendorDataVendorMaster", requestEnvelope(emptyOperationBody("GetVendorDataVendorMaster"))},
            {"GetVendorHomeDeliverly", withLoad("GetVendorHomeDeliverly")}};
}

palletry_service::ReferenceService& bigService()
{
    static std::unique_ptr<palletry_service::ReferenceService> service;
    if (!service) {
        palletry_service::Options options;
        options.demoData = false;
        options.vendors = BigVendorCount;
        options.orders = BigOrderCount;
        options.lines = 1;
        service = std::make_unique<palletry_service::ReferenceService>(options);
        if (!service->start(0))
            throw std::runtime_error("reference service did not start");
        releaseAtShutdown([] { service.reset(); });
    }
    return *service;
}

std::vector<QStringList> realisticVendors(int count)
{
    static const std::array<const char*, 24> first{
        "Acme", "Northern", "Pacific", "Summit", "Blue Ridge", "Lakeside", "Golden", "Riverside",
        "Atlas", "Heritage", "Pioneer", "Coastal", "Evergreen", "Keystone", "Liberty", "Midwest",
        "Oak Hill", "Prairie", "Redwood", "Silverline", "Sterling", "Valley", "Westfield", "Cardinal"};
    static const std::array<const char*, 20> second{
        "Furniture", "Home Goods", "Appliances", "Bedding", "Lighting", "Outdoor", "Rugs", "Mattress",
        "Cabinetry", "Textiles", "Decor", "Electronics", "Flooring", "Kitchen", "Patio", "Office",
        "Imports", "Woodworks", "Supply", "Design"};
    static const std::array<const char*, 8> suffix{"Inc.", "LLC", "Co.", "& Sons", "Corp.", "Ltd.", "Group", "Mfg."};

    std::mt19937 random(20240611u);
    std::unordered_set<int> usedIds;
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(count));
    while (static_cast<int>(rows.size()) < count) {
        const int id = static_cast<int>(random() % 99999u) + 1;
        if (!usedIds.insert(id).second)
            continue;
        const QString name = QString::fromLatin1("%1 %2 %3 #%4")
                                 .arg(QLatin1String(first[random() % first.size()]),
                                      QLatin1String(second[random() % second.size()]),
                                      QLatin1String(suffix[random() % suffix.size()]))
                                 .arg(random() % 1000u);
        rows.push_back(QStringList{QString::number(id), name});
    }
    return rows;
}

namespace {
std::vector<std::function<void()>>& releases()
{
    static std::vector<std::function<void()>> list;
    return list;
}
} // namespace

void releaseAtShutdown(std::function<void()> release)
{
    releases().push_back(std::move(release));
}

void releaseFixtures()
{
    while (!releases().empty()) {
        const std::function<void()> release = std::move(releases().back());
        releases().pop_back();
        release();
    }
}

QString megabytes(std::size_t bytes)
{
    return QString::number(double(bytes) / 1e6, 'f', 1) + QStringLiteral(" MB");
}

} // namespace palletry::bench
