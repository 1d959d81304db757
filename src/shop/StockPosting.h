#pragma once

#include <QDate>
#include <QList>
#include <QString>

class QDateTime;

namespace db {
class Connection;
}

// The stock rules shared by the bill windows and the warehouse windows:
// applying a bill to storemain and taking it back out, the moving-average
// cost, the month lock and the next free bill number. Window-free.
//
// Every change to storemain is one statement that computes from the stored
// row, run inside a write transaction, so two programs on one file never
// lose each other's updates.
namespace StockPosting {

// A month is locked once a stock count of it is stored in storchek.
bool isMonthCounted(db::Connection& connection, int year, int month);
inline bool isMonthCounted(db::Connection& connection, const QDate& date)
{
    return isMonthCounted(connection, date.year(), date.month());
}

// The four kinds of bill that move stock.
enum class BillKind { Purchase, Sale, CustomerReturn, SupplierReturn };

struct BillLine {
    QString goodsCode;
    double quantity = 0;
    double unitPrice = 0;
    QString remark;
    // A sale line's retail price before its markdown or discount, and the markdown that priced it.
    double listPrice = 0;
    QString markName;
    bool operator==(const BillLine&) const = default;
};

// A customer-return line with exactly this remark stays out of stock.
inline const QString notIntoStock = QStringLiteral("不入库");
// A customer-return line with exactly this remark comes back at the goods' cost:
// stock rises, the average stays (a till return, refunded at the sale price).
inline const QString atCost = QStringLiteral("按成本入库");

// Purchases and customer returns raise stock and re-average the cost.
bool raisesStock(BillKind kind);
// Whether the line moves any stock at all.
bool movesStock(BillKind kind, const BillLine& line);

// Applies a bill line by line in order; takes one back in reverse order.
// Purchases and customer returns raise stock and re-average the cost (the
// purchase price when there was no stock); taking one back also takes its
// value out of the average, so re-applying it restores the cost. Sales and
// returns to suppliers lower stock and leave the cost; a goods without a
// stock record gets one of -q at the goods' purchase price (0 when it has none).
void applyBill(db::Connection& connection, BillKind kind, const QList<BillLine>& lines);
void takeBillBack(db::Connection& connection, BillKind kind, const QList<BillLine>& lines);

// Moves each goods' stock by its line's quantity (a count's or an adjustment's
// difference), cost untouched; a goods without a stock record gets one at the
// goods' purchase price (valu_in, 0 when it has none).
void moveStock(db::Connection& connection, const QList<BillLine>& differences);

struct NumberColumn {
    QString table;
    QString column;
};
// The first number "yyyyMMddhhmmss" from `start` on, second by second, that
// none of `columns` holds yet.
QString nextFreeNumber(db::Connection& connection, const QList<NumberColumn>& columns, const QDateTime& start);

// The first bill number from `start` on, second by second, that no bill header
// or bill line of any kind uses yet ("yyyyMMddhhmmss").
QString nextFreeBillNo(db::Connection& connection, const QDateTime& start);

} // namespace StockPosting
