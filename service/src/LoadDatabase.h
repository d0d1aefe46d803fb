#pragma once

#include "SqliteDatabase.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace palletry_service {

/// What AddPODetails records for one line item of one order segment.
struct LineItemDetails {
    std::string orderId;
    std::int32_t segment = 0;
    std::int32_t lineItem = 0;
    std::string receivedDate;
    std::int32_t quantityReceived = 0;
    double unitWeight = 0;
    std::int32_t personId = 0;
    std::string personType;
    std::string recordLastUpdated;
    std::int32_t unloadedIndicator = 0;
    std::int32_t storageIndicator = 0;
};

/**
 * The warehouse's load data in SQLite and the queries behind the nine operations.
 *
 * A segment is one delivery of an order: (OrderID, Segment) names one placement of an order
 * on one load; an order stands at most once on a load. Reads append their result as an
 * escaped DataSet to the reply and return the row count; writes throw a server SoapFault
 * when they name something the database does not hold or bring a text longer than its field
 * takes, and change nothing then.
 * Not thread-safe: the caller serialises access.
 */
class LoadDatabase {
public:
    /// Opens the database at path (in memory when empty) and creates the tables it lacks.
    explicit LoadDatabase(const std::string& path);

    SqliteDatabase& sql() { return db_; }
    /// True when no vendor, order or load is stored yet.
    bool isEmpty();
    /// The loads that tests and demos open, kept with the data.
    void setKnownLoads(std::int32_t demoLoadId, std::int32_t emptyLoadId);
    std::int32_t demoLoadId();
    std::int32_t emptyLoadId();

    // Reads, appending an escaped DataSet to out.
    std::size_t incomingLoad(std::string& out, std::int32_t loadId);
    std::size_t vendorMaster(std::string& out);
    std::size_t homeDeliverly(std::string& out, std::int32_t loadId);
    std::size_t vendorOrdersAndCenters(std::string& out, std::int32_t vendorId, std::int32_t loadId);
    std::size_t orderDetails(std::string& out, const std::string& orderId, std::int32_t loadId);
    std::size_t vendorDetailsByOrderId(std::string& out, const std::string& orderId);

    /// Registers each order of the entries on the load its entry names, under the order's
    /// next segment; all entries or none.
    void addPO(const std::vector<std::string>& ordersArray);
    /// Records (or replaces) one line item's details under (order, segment).
    void addPODetails(const LineItemDetails& details);
    /// Removes one segment of an order and its line-item details.
    void deletePO(const std::string& orderId, std::int32_t segment);

    /// Any SQL, rows as text (NULL as empty text).
    std::vector<std::vector<std::string>> query(const std::string& sql);

private:
    void requireOrder(const std::string& orderId);
    void requireSegment(const std::string& orderId, std::int32_t segment);
    std::int32_t metaNumber(const char* key);

    SqliteDatabase db_;
};

} // namespace palletry_service
