#pragma once

namespace db {
class Connection;
}

// A month's stock movement per goods: the preceding month's counted quantity,
// the quantities in and out on the month's bills and the closing quantity,
// written to `mios`. Window-free.
namespace StockMovement {

struct Totals {
    double opening = 0;
    double in = 0;
    double out = 0;
    double closing = 0;
    int rows = 0;
};

// Replaces the content of `mios` (and empties `miostemp`) with the month's
// movement in one transaction; on failure the tables are as they were and the
// error is thrown. Every bill line that moved stock counts; each closing quantity is rounded once,
// half away from zero. The totals are the sums of the stored result rows.
Totals compute(db::Connection& connection, int year, int month);

// Sums the stored result rows.
Totals totals(db::Connection& connection);

} // namespace StockMovement
