#include "DemoData.h"

#include "LoadDatabase.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace palletry_service {

namespace {

// A small fixed generator, so that the demo data is the same on every run.
class Sequence {
public:
    std::uint32_t next(std::uint32_t bound)
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33) % bound;
    }

private:
    std::uint64_t state_ = 20261130;
};

std::string poNumber(long n)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%011ld", n);
    return buffer;
}

const char* const CenterNames[] = {"Main Warehouse", "Harbor & Rail Depot", "East Gate <Dock 4>",
                                   "North Yard",     "Valley Cross-Dock",   "Outlet Center"};

// Ids chosen so that sorting them as text ("10" < "100" < "12" < "7") differs from sorting
// them as numbers.
const int VendorIds[] = {3,   7,   9,   10,  12,  15,  21,  33,  45,   58,   64,   77,
                         88,  99,  100, 101, 120, 150, 202, 250, 303,  404,  512,  600,
                         777, 808, 900, 999, 1000, 1001, 1200, 2048, 3000, 4096, 9000, 12000};
const char* const VendorNames[] = {
    "Acme Furniture",      "A<B Trading",          "Birch & Pine Works",  "Comfort Living",
    "Smith & Sons",        "Delta Home Goods",     "Evergreen Supply",    "Fairway Appliances",
    "Granite & Oak",       "Harbor Imports",       "Ironwood Designs",    "Juniper Lighting",
    "Kessler Bedding",     "Lakeside Outdoor",     "Maple <Classic> Co.", "Northern Rugs",
    "Oasis Patio",         "Pioneer Mattress",     "Quarry Stoneware",    "Riverbend Textiles",
    "Summit Electronics",  "Tidewater Decor",      "Union Cabinetry",     "Vista Recliners",
    "Willow & Reed",       "Xeno Kitchens",        "Yardley Clocks",      nullptr, // a vendor without a name
    "Zenith Sleep",        "Atlas Shelving",       "Beacon Mirrors",      "Cedar Creek Tables",
    "Dover Cookware",      "Elm Street Lamps",     "Foxglove Linens",     "Glen <Ridge> & Co."};
static_assert(sizeof VendorIds / sizeof VendorIds[0] == sizeof VendorNames / sizeof VendorNames[0]);

const char* const Descriptions[] = {
    "Sofa, 3-seat & ottoman",  "Table lamp <tall>",       "Queen mattress",         "Dining chair (set of 2)",
    "Bookcase 5-shelf",        "Rug 8x10 \"Sahara\"",     "Patio set & umbrella",   "Nightstand",
    "Recliner, power",         "Mirror <oval> 36in",      "Coffee table",           "Dresser 6-drawer",
    "TV stand & media console", "Bar stool",              "Wardrobe 2-door",        "Headboard, king"};
const char* const FreightGroups[] = {"A", "B", "C", "D & E", "<2T"};

void insertLoad(SqliteStatement& st, int id, const char* truck, const char* date, const char* carrier)
{
    st.bind(1, std::int64_t{id}).bind(2, std::string_view(truck)).bind(3, std::string_view(date));
    if (carrier)
        st.bind(4, std::string_view(carrier));
    st.run();
}

} // namespace

void DemoData::seedDemo(LoadDatabase& db)
{
    SqliteDatabase& sql = db.sql();
    SqliteDatabase::Transaction transaction(sql);
    Sequence random;

    auto center = sql.prepare("INSERT INTO Centers(CenterID, CenterName) VALUES (?1, ?2)");
    for (int i = 0; i < 6; ++i)
        center.bind(1, std::int64_t{i + 1}).bind(2, std::string_view(CenterNames[i])).run();

    auto vendor = sql.prepare("INSERT INTO Vendors(VendorID, Name) VALUES (?1, ?2)");
    const int vendorCount = sizeof VendorIds / sizeof VendorIds[0];
    for (int i = 0; i < vendorCount; ++i) {
        vendor.bind(1, std::int64_t{VendorIds[i]});
        if (VendorNames[i])
            vendor.bind(2, std::string_view(VendorNames[i]));
        vendor.run();
    }

    // Loads by date: 1002 and 1003 came earlier, 1001 is today's truck, 1004 is still empty.
    auto load = sql.prepare("INSERT INTO Loads(IncomingLoadID, TruckNumber, LoadDate, Carrier) VALUES (?1, ?2, ?3, ?4)");
    insertLoad(load, 1002, "TRK-0022", "2026-11-16 00:00:00", "Blue Line <Express>");
    insertLoad(load, 1003, "TRK-0009", "2026-11-23 00:00:00", "Miller Transport");
    insertLoad(load, 1001, "TRK-0417", "2026-11-30 00:00:00", "Swift & Sure Freight");
    insertLoad(load, 1004, "TRK-0100", "2026-12-07 00:00:00", nullptr);

    auto order = sql.prepare("INSERT INTO Orders(OrderID, VendorID, CenterID, MemberID, FreightGroup, PostalCode, IsOpen)"
                             " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    auto item = sql.prepare("INSERT INTO LineItems(OrderID, LineItem, Model, ItemDescription) VALUES (?1, ?2, ?3, ?4)");
    auto segment = sql.prepare("INSERT INTO OrderSegments(OrderID, Segment, IncomingLoadID, NumberOfCartons,"
                               " PickupPostalCode, FreightGroup, PersonID, PersonType)"
                               " SELECT OrderID, ?2, ?3, ?4, PostalCode, FreightGroup, '15', '2'"
                               " FROM Orders WHERE OrderID = ?1");
    auto details = sql.prepare("INSERT INTO LineItemDetails(OrderID, Segment, LineItem, ReceivedDate, QuantityReceived,"
                               " UnitWeight, PersonID, PersonType, RecordLastUpdated, UnloadedIndicator, StorageIndicator)"
                               " SELECT OrderID, ?2, LineItem, '11/16/2026 9:30:00 AM', 0, ?3, 15, '2',"
                               " '11/16/2026 9:30:00 AM', 0, 0 FROM LineItems WHERE OrderID = ?1");

    const int orderCount = 300;
    for (int i = 0; i <= orderCount; ++i) {
        // The last order carries a legacy PO written without padding: as text "7001" sorts
        // after "00000010001", as a number before it.
        const std::string po = i == orderCount ? std::string("7001") : poNumber(10001 + i);
        const int vendorIndex = i == orderCount ? 4 : static_cast<int>(random.next(vendorCount));
        order.bind(1, po)
            .bind(2, std::int64_t{VendorIds[vendorIndex]})
            .bind(3, std::int64_t{1 + random.next(6)})
            .bind(4, std::int64_t{1000 + random.next(9000)});
        if (i % 9 != 4) // some orders have no freight group
            order.bind(5, std::string_view(FreightGroups[random.next(5)]));
        order.bind(6, std::to_string(10000 + random.next(89999)))
            .bind(7, std::int64_t{i % 13 == 12 ? 0 : 1}) // now and then an order is closed
            .run();

        const int lines = 1 + static_cast<int>(random.next(8));
        for (int line = 1; line <= lines; ++line) {
            item.bind(1, po).bind(2, std::int64_t{line});
            if ((i + line) % 11 != 0) // a few items have no model
                item.bind(3, "MD-" + std::to_string(1000 + random.next(9000)));
            item.bind(4, std::string_view(Descriptions[random.next(16)])).run();
        }

        auto place = [&](int seg, int loadId) {
            segment.bind(1, po).bind(2, std::int64_t{seg}).bind(3, std::int64_t{loadId})
                .bind(4, std::int64_t{1 + random.next(40)}).run();
        };
        if (i < 20) {
            place(1, 1002); // delivered in part on an earlier truck ...
            details.bind(1, po).bind(2, std::int64_t{1}).bind(3, 10.5 + i).run();
        }
        if (i >= 10 && i < 19)
            place(i == 18 ? 3 : 2, 1001); // ... and the rest comes today
        if (i == 18)
            place(2, 1003);
        if (i >= 20 && i < 60)
            place(1, 1001);
        if (i >= 60 && i < 70)
            place(1, 1003);
        if (i == orderCount)
            place(1, 1001);
    }

    db.setKnownLoads(1001, 1004);
    transaction.commit();
}

void DemoData::seedBig(LoadDatabase& db, int vendors, int orders, int lines)
{
    SqliteDatabase& sql = db.sql();
    SqliteDatabase::Transaction transaction(sql);
    if (vendors < 1 && orders > 0)
        vendors = 1;

    auto center = sql.prepare("INSERT INTO Centers(CenterID, CenterName) VALUES (?1, ?2)");
    for (int i = 0; i < 6; ++i)
        center.bind(1, std::int64_t{i + 1}).bind(2, std::string_view(CenterNames[i])).run();

    auto load = sql.prepare("INSERT INTO Loads(IncomingLoadID, TruckNumber, LoadDate, Carrier) VALUES (?1, ?2, ?3, ?4)");
    insertLoad(load, 1, "TRK-0001", "2026-11-30 00:00:00", "Swift & Sure Freight");
    insertLoad(load, 2, "TRK-0002", "2026-12-07 00:00:00", "Miller Transport");

    auto vendor = sql.prepare("INSERT INTO Vendors(VendorID, Name) VALUES (?1, ?2)");
    char name[64];
    for (int v = 1; v <= vendors; ++v) {
        std::snprintf(name, sizeof name, v % 10 == 0 ? "Vendor %05d & Sons" : "Vendor %05d Home Goods", v);
        vendor.bind(1, std::int64_t{v}).bind(2, std::string_view(name)).run();
    }

    auto order = sql.prepare("INSERT INTO Orders(OrderID, VendorID, CenterID, MemberID, FreightGroup, PostalCode)"
                             " VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    auto item = sql.prepare("INSERT INTO LineItems(OrderID, LineItem, Model, ItemDescription) VALUES (?1, ?2, ?3, ?4)");
    auto segment = sql.prepare("INSERT INTO OrderSegments(OrderID, Segment, IncomingLoadID, NumberOfCartons,"
                               " PickupPostalCode, FreightGroup, PersonID, PersonType) VALUES (?1, 1, 1, ?2, ?3, ?4, '15', '2')");
    for (int o = 1; o <= orders; ++o) {
        const std::string po = poNumber(o);
        const std::string postalCode = std::to_string(10000 + o % 89999);
        const std::string_view freight = FreightGroups[o % 5];
        order.bind(1, po)
            .bind(2, std::int64_t{(o - 1) % vendors + 1})
            .bind(3, std::int64_t{o % 6 + 1})
            .bind(4, std::int64_t{1000 + o % 9000})
            .bind(5, freight)
            .bind(6, postalCode)
            .run();
        for (int line = 1; line <= lines; ++line)
            item.bind(1, po)
                .bind(2, std::int64_t{line})
                .bind(3, "MD-" + std::to_string(1000 + line % 9000))
                .bind(4, std::string_view(Descriptions[line % 16]))
                .run();
        segment.bind(1, po).bind(2, std::int64_t{1 + o % 40}).bind(3, postalCode).bind(4, freight).run();
    }

    db.setKnownLoads(1, 2);
    transaction.commit();
}

} // namespace palletry_service
