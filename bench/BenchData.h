#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace palletry_service {
class ReferenceService;
}

namespace palletry::bench {

/// Sizes of the big load every case works on.
inline constexpr int BigVendorCount = 50000;
inline constexpr int BigOrderCount = 2000;
inline constexpr int BigLineItemCount = 2000;
/// Vendors whose master reply is about 60 MB, just under the 64 MiB a reply may have.
inline constexpr int HugeVendorCount = 320000;
/// The load the reference service seeds with the big data.
inline constexpr std::int32_t BigLoadId = 1;

/// The control's own request envelope for @p operationBody (an operation element).
std::string requestEnvelope(const QString& operationBody);

/// The body of a read operation without arguments: <Op xmlns="..." />.
QString emptyOperationBody(const char* operation);

/**
 * POSTs @p envelope to the service as the control does (SOAPAction = namespace "/" op)
 * and returns the reply body exactly as received. Throws std::runtime_error when
 * there is no reply or its status is not 200.
 */
std::string postToService(const palletry_service::ReferenceService& service, const char* operation,
                          const std::string& envelope);
/// The same, to the service on 127.0.0.1:@p port.
std::string postToPort(int port, const char* operation, const std::string& envelope);

/// The three read requests that open load @p loadId, as the control sends them: operation and envelope.
std::vector<std::pair<const char*, std::string>> openingRequests(std::int32_t loadId);

/**
 * The reference service seeded with the big load (BigVendorCount vendors, BigLoadId
 * holding BigOrderCount orders of one line item each), started on first use and
 * shared by the cases that open it.
 */
palletry_service::ReferenceService& bigService();

/// The reply of GetVendorDataVendorMaster as the service sends it, bytes untouched.
std::string vendorMasterReply(const palletry_service::ReferenceService& service);

/**
 * @p count vendor rows (id, name) as a real vendor master looks: ids spread over 1..99999
 * and names built from common trading-name words, in an order that is
 * neither by id nor by name (as rows come from a database). Same rows every run.
 */
std::vector<QStringList> realisticVendors(int count);

/**
 * Registers @p release to run in releaseFixtures(): fixtures that hold widgets
 * must go while the QApplication still exists, not with the other statics.
 */
void releaseAtShutdown(std::function<void()> release);
/// Runs every registered release, latest first.
void releaseFixtures();

/// "8.6 MB" style size of @p bytes.
QString megabytes(std::size_t bytes);

} // namespace palletry::bench
