#pragma once

namespace palletry_service {

class LoadDatabase;

/// Seeds a fresh database: the demo data, or big data for benchmarks.
class DemoData {
public:
    /// A few loads (one empty), some dozens of vendors, a few hundred orders with 1 to 8
    /// line items, some orders split over two or three loads, values holding "&" and "<",
    /// vendor ids and one PO whose text order differs from their numeric order.
    /// Load 1001 holds orders, load 1004 none.
    static void seedDemo(LoadDatabase& db);

    /// vendors vendors; load 1 holding orders orders spread over them, each with lines line
    /// items; load 2 empty. One transaction with prepared statements.
    static void seedBig(LoadDatabase& db, int vendors, int orders, int lines);
};

} // namespace palletry_service
