#include "LoadDatabase.h"

#include "DataSetWriter.h"
#include "SoapFault.h"
#include "SoapRequest.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace palletry_service {

namespace {

constexpr const char* Schema = R"sql(
CREATE TABLE IF NOT EXISTS Meta(
  Key TEXT PRIMARY KEY,
  Value TEXT);
CREATE TABLE IF NOT EXISTS Vendors(
  VendorID INTEGER PRIMARY KEY,
  Name TEXT);
CREATE TABLE IF NOT EXISTS Centers(
  CenterID INTEGER PRIMARY KEY,
  CenterName TEXT);
CREATE TABLE IF NOT EXISTS Orders(
  OrderID TEXT PRIMARY KEY,              -- PO number, 11 characters zero-padded
  VendorID INTEGER NOT NULL REFERENCES Vendors(VendorID),
  CenterID INTEGER REFERENCES Centers(CenterID),
  MemberID INTEGER,
  FreightGroup TEXT,
  PostalCode TEXT,
  IsOpen INTEGER NOT NULL DEFAULT 1);    -- closed orders are no longer offered to a load
CREATE INDEX IF NOT EXISTS OrdersByVendor ON Orders(VendorID, OrderID);
CREATE TABLE IF NOT EXISTS LineItems(
  OrderID TEXT NOT NULL REFERENCES Orders(OrderID),
  LineItem INTEGER NOT NULL,
  Model TEXT,
  ItemDescription TEXT,
  PRIMARY KEY(OrderID, LineItem)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS Loads(
  IncomingLoadID INTEGER PRIMARY KEY,
  TruckNumber TEXT,
  LoadDate TEXT,                         -- 'YYYY-MM-DD HH:MM:SS', UTC
  Carrier TEXT);
CREATE TABLE IF NOT EXISTS OrderSegments(
  OrderID TEXT NOT NULL REFERENCES Orders(OrderID),
  Segment INTEGER NOT NULL,              -- 1 for the first delivery of the order, then 2, ...
  IncomingLoadID INTEGER NOT NULL REFERENCES Loads(IncomingLoadID),
  NumberOfCartons INTEGER NOT NULL,
  PickupPostalCode TEXT,
  FreightGroup TEXT,
  PersonID TEXT,
  PersonType TEXT,
  PRIMARY KEY(OrderID, Segment),
  UNIQUE(IncomingLoadID, OrderID));
CREATE TABLE IF NOT EXISTS LineItemDetails(
  OrderID TEXT NOT NULL,
  Segment INTEGER NOT NULL,
  LineItem INTEGER NOT NULL,
  ReceivedDate TEXT,
  QuantityReceived INTEGER,
  UnitWeight REAL,
  PersonID INTEGER,
  PersonType TEXT,
  RecordLastUpdated TEXT,
  UnloadedIndicator INTEGER,
  StorageIndicator INTEGER,
  PRIMARY KEY(OrderID, Segment, LineItem),
  FOREIGN KEY(OrderID, Segment) REFERENCES OrderSegments(OrderID, Segment) ON DELETE CASCADE,
  FOREIGN KEY(OrderID, LineItem) REFERENCES LineItems(OrderID, LineItem));
)sql";

// The longest texts stored, in characters. Each is sent back to every clerk who opens the
// load, so a value far beyond what the field means would make the load unreadable for all.
constexpr std::size_t IdLength = 32;         // order and person ids, person types, freight groups
constexpr std::size_t PostalCodeLength = 20;
constexpr std::size_t TimeStampLength = 48;

void requireFits(const char* field, const std::string& value, std::size_t limit)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < value.size() && characters <= limit; ++i)
        characters += (static_cast<unsigned char>(value[i]) & 0xC0) != 0x80; // UTF-8: bytes that start a character
    if (characters > limit)
        throw SoapFault::unprocessable(std::string("String or binary data would be truncated: ") + field
                                       + " takes at most " + std::to_string(limit) + " characters.");
}

/// A point in time read from a time stamp, comparable with another.
struct Instant {
    std::int64_t seconds = 0; // since 0000-03-01, in the time stamp's own zone or UTC when it names one
    std::int64_t nanoseconds = 0;
    bool operator<(const Instant& other) const
    {
        return seconds != other.seconds ? seconds < other.seconds : nanoseconds < other.nanoseconds;
    }
};

class StampReader {
public:
    explicit StampReader(std::string_view text) : text_(text) {}
    bool number(std::size_t minDigits, std::size_t maxDigits, int& value)
    {
        std::size_t digits = 0;
        value = 0;
        while (at_ < text_.size() && digits < maxDigits && text_[at_] >= '0' && text_[at_] <= '9') {
            value = value * 10 + (text_[at_++] - '0');
            ++digits;
        }
        return digits >= minDigits;
    }
    bool literal(char c)
    {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool literal(std::string_view word)
    {
        if (text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }
    bool done() const { return at_ == text_.size(); }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// Days from 0000-03-01 to a date of the proleptic Gregorian calendar.
std::int64_t daysOf(int year, int month, int day)
{
    year -= month <= 2;
    const std::int64_t era = year / 400;
    const std::int64_t ofEra = year - era * 400;
    const std::int64_t ofYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    return era * 146097 + ofEra * 365 + ofEra / 4 - ofEra / 100 + ofYear;
}

bool validDate(int year, int month, int day)
{
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month >= 1 && month <= 12 && day >= 1 && day <= days[month - 1] && (month != 2 || day <= 28 || leap);
}

/// Reads a RecordLastUpdated: "yyyy-MM-ddTHH:mm:ss" (a space for the T, fractions of a second
/// and a zone, "Z" or "+hh:mm", allowed), as the control writes it, or the US general date form
/// "M/d/yyyy h:mm:ss AM" (or 24-hour without AM/PM).
std::optional<Instant> readTimeStamp(std::string_view text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    Instant instant;
    StampReader iso(text);
    if (iso.number(4, 4, year) && iso.literal('-') && iso.number(2, 2, month) && iso.literal('-')
        && iso.number(2, 2, day) && (iso.literal('T') || iso.literal(' ')) && iso.number(2, 2, hour)
        && iso.literal(':') && iso.number(2, 2, minute) && iso.literal(':') && iso.number(2, 2, second)) {
        if (iso.literal('.')) {
            int digit = 0;
            std::int64_t scale = 100000000;
            if (!iso.number(1, 1, digit))
                return std::nullopt;
            do {
                instant.nanoseconds += digit * scale;
                scale /= 10;
            } while (iso.number(1, 1, digit));
        }
        int offset = 0;
        if (!iso.literal('Z')) {
            const bool ahead = iso.literal('+');
            if (ahead || iso.literal('-')) {
                int hours = 0, minutes = 0;
                if (!iso.number(2, 2, hours) || !iso.literal(':') || !iso.number(2, 2, minutes) || hours > 14
                    || minutes > 59)
                    return std::nullopt;
                offset = (ahead ? 1 : -1) * (hours * 3600 + minutes * 60);
            }
        }
        if (!iso.done() || hour > 23)
            return std::nullopt;
        instant.seconds = -offset;
    } else {
        StampReader us(text);
        if (!(us.number(1, 2, month) && us.literal('/') && us.number(1, 2, day) && us.literal('/')
              && us.number(4, 4, year) && us.literal(' ') && us.number(1, 2, hour) && us.literal(':')
              && us.number(2, 2, minute) && us.literal(':') && us.number(2, 2, second)))
            return std::nullopt;
        if (us.literal(" AM") || us.literal(" PM")) {
            const bool pm = text.substr(text.size() - 2) == "PM";
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (pm ? 12 : 0);
        }
        if (!us.done() || hour > 23)
            return std::nullopt;
    }
    if (!validDate(year, month, day) || minute > 59 || second > 59)
        return std::nullopt;
    instant.seconds += daysOf(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return instant;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        fields.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

} // namespace

LoadDatabase::LoadDatabase(const std::string& path) : db_(path)
{
    db_.exec(Schema);
}

bool LoadDatabase::isEmpty()
{
    auto st = db_.prepare("SELECT (SELECT COUNT(*) FROM Vendors) + (SELECT COUNT(*) FROM Orders)"
                          " + (SELECT COUNT(*) FROM Loads)");
    st.step();
    return st.int64(0) == 0;
}

void LoadDatabase::setKnownLoads(std::int32_t demoLoadId, std::int32_t emptyLoadId)
{
    auto st = db_.prepare("INSERT OR REPLACE INTO Meta(Key, Value) VALUES (?1, ?2)");
    st.bind(1, std::string_view("DemoLoadID")).bind(2, std::int64_t{demoLoadId}).run();
    st.bind(1, std::string_view("EmptyLoadID")).bind(2, std::int64_t{emptyLoadId}).run();
}

std::int32_t LoadDatabase::metaNumber(const char* key)
{
    auto st = db_.prepare("SELECT CAST(Value AS INTEGER) FROM Meta WHERE Key = ?1");
    st.bind(1, std::string_view(key));
    return st.step() ? static_cast<std::int32_t>(st.int64(0)) : 0;
}

std::int32_t LoadDatabase::demoLoadId()
{
    return metaNumber("DemoLoadID");
}

std::int32_t LoadDatabase::emptyLoadId()
{
    return metaNumber("EmptyLoadID");
}

std::size_t LoadDatabase::incomingLoad(std::string& out, std::int32_t loadId)
{
    static const DataSetWriter writer({{"IncomingLoadID", "xs:int"},
                                       {"TruckNumber", "xs:string"},
                                       {"LoadDate", "xs:dateTime"},
                                       {"Driver", "xs:string"}});
    auto rows = db_.prepare("SELECT IncomingLoadID, TruckNumber,"
                            " strftime('%Y-%m-%dT%H:%M:%S+00:00', LoadDate), Carrier"
                            " FROM Loads WHERE IncomingLoadID = ?1");
    rows.bind(1, std::int64_t{loadId});
    return writer.append(out, rows);
}

std::size_t LoadDatabase::vendorMaster(std::string& out)
{
    static const DataSetWriter writer({{"VendorID", "xs:int"}, {"Name", "xs:string"}});
    auto rows = db_.prepare("SELECT VendorID, Name FROM Vendors ORDER BY VendorID");
    return writer.append(out, rows);
}

std::size_t LoadDatabase::homeDeliverly(std::string& out, std::int32_t loadId)
{
    static const DataSetWriter writer({{"CenterID", "xs:int"},
                                       {"CenterName", "xs:string"},
                                       {"FreightGroup", "xs:string"},
                                       {"MemberID", "xs:int"},
                                       {"NumberParcels", "xs:int"},
                                       {"OrderID", "xs:string"},
                                       {"PickupPostalCode", "xs:string"},
                                       {"KLTV_OrderSegment", "xs:int"},
                                       {"VendorID", "xs:int"}});
    auto rows = db_.prepare("SELECT o.CenterID, c.CenterName, s.FreightGroup, o.MemberID,"
                            " s.NumberOfCartons, s.OrderID, s.PickupPostalCode, s.Segment, o.VendorID"
                            " FROM OrderSegments s JOIN Orders o ON o.OrderID = s.OrderID"
                            " LEFT JOIN Centers c ON c.CenterID = o.CenterID"
                            " WHERE s.IncomingLoadID = ?1 ORDER BY s.OrderID");
    rows.bind(1, std::int64_t{loadId});
    return writer.append(out, rows);
}

std::size_t LoadDatabase::vendorOrdersAndCenters(std::string& out, std::int32_t vendorId, std::int32_t loadId)
{
    static const DataSetWriter writer(
        {{"CenterName", "xs:string"}, {"OrderCenterID", "xs:int"}, {"OrderID", "xs:string"}});
    // A vendor's open orders are those not closed and not already on this load; an order
    // delivered in part on another load stays open for its next segment.
    auto rows = db_.prepare("SELECT c.CenterName, o.CenterID, o.OrderID"
                            " FROM Orders o LEFT JOIN Centers c ON c.CenterID = o.CenterID"
                            " WHERE o.VendorID = ?1 AND o.IsOpen <> 0 AND NOT EXISTS"
                            " (SELECT 1 FROM OrderSegments s WHERE s.OrderID = o.OrderID"
                            "  AND s.IncomingLoadID = ?2)"
                            " ORDER BY o.OrderID");
    rows.bind(1, std::int64_t{vendorId}).bind(2, std::int64_t{loadId});
    return writer.append(out, rows);
}

std::size_t LoadDatabase::orderDetails(std::string& out, const std::string& orderId, std::int32_t loadId)
{
    static const DataSetWriter writer({{"OrderID", "xs:string"},
                                       {"LineItem", "xs:int"},
                                       {"Model", "xs:string"},
                                       {"ItemDescription", "xs:string"},
                                       {"MaxSegment", "xs:int"},
                                       {"LoadSegment", "xs:int"},
                                       {"NumberOfCartonsForOrderLoad", "xs:int"}});
    auto rows = db_.prepare(
        "SELECT li.OrderID, li.LineItem, li.Model, li.ItemDescription,"
        " (SELECT COALESCE(MAX(Segment), 0) FROM OrderSegments WHERE OrderID = ?1),"
        " COALESCE((SELECT Segment FROM OrderSegments WHERE OrderID = ?1 AND IncomingLoadID = ?2), 0),"
        " COALESCE((SELECT NumberOfCartons FROM OrderSegments WHERE OrderID = ?1 AND IncomingLoadID = ?2), 0)"
        " FROM LineItems li WHERE li.OrderID = ?1 ORDER BY li.LineItem");
    rows.bind(1, orderId).bind(2, std::int64_t{loadId});
    return writer.append(out, rows);
}

std::size_t LoadDatabase::vendorDetailsByOrderId(std::string& out, const std::string& orderId)
{
    static const DataSetWriter writer({{"OrderID", "xs:string"},
                                       {"MemberID", "xs:int"},
                                       {"OrderCenterID", "xs:int"},
                                       {"VendorID", "xs:int"},
                                       {"FreightGroup", "xs:string"},
                                       {"PostalCode", "xs:string"},
                                       {"CenterName", "xs:string"},
                                       {"VendorName", "xs:string"}});
    auto rows = db_.prepare("SELECT o.OrderID, o.MemberID, o.CenterID, o.VendorID, o.FreightGroup,"
                            " o.PostalCode, c.CenterName, v.Name"
                            " FROM Orders o LEFT JOIN Centers c ON c.CenterID = o.CenterID"
                            " LEFT JOIN Vendors v ON v.VendorID = o.VendorID"
                            " WHERE o.OrderID = ?1");
    rows.bind(1, orderId);
    return writer.append(out, rows);
}

void LoadDatabase::requireOrder(const std::string& orderId)
{
    auto st = db_.prepare("SELECT 1 FROM Orders WHERE OrderID = ?1");
    st.bind(1, orderId);
    if (!st.step())
        throw SoapFault::unprocessable("Order '" + SoapFault::excerpt(orderId) + "' does not exist.");
}

void LoadDatabase::requireSegment(const std::string& orderId, std::int32_t segment)
{
    requireOrder(orderId);
    auto st = db_.prepare("SELECT 1 FROM OrderSegments WHERE OrderID = ?1 AND Segment = ?2");
    st.bind(1, orderId).bind(2, std::int64_t{segment});
    if (!st.step())
        throw SoapFault::unprocessable("Order '" + SoapFault::excerpt(orderId) + "' has no segment " + std::to_string(segment) + ".");
}

void LoadDatabase::addPO(const std::vector<std::string>& ordersArray)
{
    SqliteDatabase::Transaction transaction(db_);
    auto loadExists = db_.prepare("SELECT 1 FROM Loads WHERE IncomingLoadID = ?1");
    auto onLoad = db_.prepare("SELECT Segment FROM OrderSegments WHERE OrderID = ?1 AND IncomingLoadID = ?2");
    auto maxSegment = db_.prepare("SELECT COALESCE(MAX(Segment), 0) FROM OrderSegments WHERE OrderID = ?1");
    auto insert = db_.prepare("INSERT INTO OrderSegments(OrderID, Segment, IncomingLoadID, NumberOfCartons,"
                              " PickupPostalCode, FreightGroup, PersonID, PersonType)"
                              " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    for (const std::string& entry : ordersArray) {
        // OrderID;MemberID;OrderCenterID;VendorID;LoadID;Cartons;PostalCode;FreightGroup;PersonID;PersonType
        // Counted before splitting: an entry of megabytes is refused without a copy of it.
        if (std::count(entry.begin(), entry.end(), ';') != 9)
            throw SoapFault::unprocessable("Orders array entry '" + SoapFault::excerpt(entry) + "' does not hold ten fields joined by ';'.");
        const std::vector<std::string> f = split(entry, ';');
        requireFits("OrderID", f[0], IdLength);
        requireFits("PostalCode", f[6], PostalCodeLength);
        requireFits("FreightGroup", f[7], IdLength);
        requireFits("PersonID", f[8], IdLength);
        requireFits("PersonType", f[9], IdLength);
        const auto loadId = SoapRequest::parseInt32(f[4]);
        const auto cartons = SoapRequest::parseInt32(f[5]);
        if (!loadId || !cartons)
            throw SoapFault::unprocessable("Orders array entry '" + SoapFault::excerpt(entry)
                                           + "': Input string was not in a correct format.");
        const std::string& orderId = f[0];
        requireOrder(orderId);
        loadExists.bind(1, std::int64_t{*loadId});
        const bool known = loadExists.step();
        loadExists.reset();
        if (!known)
            throw SoapFault::unprocessable("Load " + std::to_string(*loadId) + " does not exist.");
        onLoad.bind(1, orderId).bind(2, std::int64_t{*loadId});
        if (onLoad.step()) {
            const auto segment = onLoad.int64(0);
            throw SoapFault::unprocessable("Order '" + SoapFault::excerpt(orderId) + "' is already on load " + std::to_string(*loadId)
                                           + " as segment " + std::to_string(segment) + ".");
        }
        onLoad.reset();
        maxSegment.bind(1, orderId);
        maxSegment.step();
        const std::int64_t next = maxSegment.int64(0) + 1;
        maxSegment.reset();
        insert.bind(1, orderId)
            .bind(2, next)
            .bind(3, std::int64_t{*loadId})
            .bind(4, std::int64_t{*cartons})
            .bindTextOrNull(5, f[6])
            .bindTextOrNull(6, f[7])
            .bindTextOrNull(7, f[8])
            .bindTextOrNull(8, f[9])
            .run();
    }
    transaction.commit();
}

void LoadDatabase::addPODetails(const LineItemDetails& d)
{
    requireFits("OrderID", d.orderId, IdLength);
    requireFits("ReceivedDate", d.receivedDate, TimeStampLength);
    requireFits("PersonType", d.personType, IdLength);
    requireFits("RecordLastUpdated", d.recordLastUpdated, TimeStampLength);
    const std::optional<Instant> updated = readTimeStamp(d.recordLastUpdated);
    if (!updated)
        throw SoapFault::unprocessable("RecordLastUpdated '" + SoapFault::excerpt(d.recordLastUpdated)
                                       + "' is not a time (yyyy-MM-ddTHH:mm:ss, or M/d/yyyy h:mm:ss AM).");
    requireSegment(d.orderId, d.segment);
    auto item = db_.prepare("SELECT 1 FROM LineItems WHERE OrderID = ?1 AND LineItem = ?2");
    item.bind(1, d.orderId).bind(2, std::int64_t{d.lineItem});
    if (!item.step())
        throw SoapFault::unprocessable("Order '" + SoapFault::excerpt(d.orderId) + "' has no line item " + std::to_string(d.lineItem)
                                       + ".");
    // Entries are stored in the order they were made, not the order they arrive: a save held up
    // in the network and given up by the clerk must not overwrite the one made after it. A stored
    // time that cannot be read (data from elsewhere) counts as older.
    auto stored = db_.prepare("SELECT RecordLastUpdated FROM LineItemDetails"
                              " WHERE OrderID = ?1 AND Segment = ?2 AND LineItem = ?3");
    stored.bind(1, d.orderId).bind(2, std::int64_t{d.segment}).bind(3, std::int64_t{d.lineItem});
    if (stored.step()) {
        const std::optional<Instant> newest = readTimeStamp(stored.text(0));
        if (newest && *updated < *newest)
            throw SoapFault::unprocessable("Order '" + d.orderId + "', segment " + std::to_string(d.segment)
                                           + ", line item " + std::to_string(d.lineItem)
                                           + ": a newer entry of this line item is stored (RecordLastUpdated "
                                           + SoapFault::excerpt(stored.text(0)) + "); nothing was changed.");
    }
    auto st = db_.prepare("INSERT OR REPLACE INTO LineItemDetails(OrderID, Segment, LineItem, ReceivedDate,"
                          " QuantityReceived, UnitWeight, PersonID, PersonType, RecordLastUpdated,"
                          " UnloadedIndicator, StorageIndicator)"
                          " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    st.bind(1, d.orderId)
        .bind(2, std::int64_t{d.segment})
        .bind(3, std::int64_t{d.lineItem})
        .bind(4, d.receivedDate)
        .bind(5, std::int64_t{d.quantityReceived})
        .bind(6, d.unitWeight)
        .bind(7, std::int64_t{d.personId})
        .bind(8, d.personType)
        .bind(9, d.recordLastUpdated)
        .bind(10, std::int64_t{d.unloadedIndicator})
        .bind(11, std::int64_t{d.storageIndicator})
        .run();
}

void LoadDatabase::deletePO(const std::string& orderId, std::int32_t segment)
{
    requireSegment(orderId, segment);
    SqliteDatabase::Transaction transaction(db_);
    auto details = db_.prepare("DELETE FROM LineItemDetails WHERE OrderID = ?1 AND Segment = ?2");
    details.bind(1, orderId).bind(2, std::int64_t{segment}).run();
    auto placement = db_.prepare("DELETE FROM OrderSegments WHERE OrderID = ?1 AND Segment = ?2");
    placement.bind(1, orderId).bind(2, std::int64_t{segment}).run();
    transaction.commit();
}

std::vector<std::vector<std::string>> LoadDatabase::query(const std::string& sql)
{
    std::vector<std::vector<std::string>> result;
    auto st = db_.prepare(sql);
    while (st.step()) {
        std::vector<std::string> row;
        for (int c = 0; c < st.columnCount(); ++c)
            row.emplace_back(st.text(c));
        result.push_back(std::move(row));
    }
    return result;
}

} // namespace palletry_service
