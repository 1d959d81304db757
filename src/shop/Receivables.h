#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <array>

namespace db {
class Connection;
class Dataset;
}

// Who owes what on a date: the open amount of each bill as it stood then
// (due - paid, taking back what receipts or payments dated later paid), the
// returns subtracting, the ageing of it by bill date, a company's statement with
// a running balance, and the credit limit of a sale. Window-free.
namespace Receivables {

// Receivable: sales less customer returns, settled by receipts (and refunds by
// payments). Payable: purchases less returns to suppliers, settled the other way.
enum class Side { Receivable, Payable };

// Open amounts by bill age in days: 0-30, 31-60, 61-90, over 90.
constexpr int bucketCount = 4;
using Buckets = std::array<double, bucketCount>;

// What a company owes on a date is the one figure every window shows: its bills
// up to then (sales less customer returns, or purchases less returns to the
// supplier) less what was paid on them, less the credit it had paid in advance;
// anything dated later left out. Negative: the company is in credit.
struct AgeingRow {
    QString compCode;
    QString compName;
    Buckets buckets{};      // the bills still open, by age
    double total = 0;       // what is owed: the buckets less the credit
    double credit = 0;      // the company's credit on the date, shown apart
};

// One row per company with an open amount or a credit, largest total first
// (then by code). Bills dated after `asOf` are left out. Columns: comp_code,
// comp_name, age_30, age_60, age_90, age_over, open_tota, rest_tota.
void prepareAgeing(db::Dataset& dataset, Side side, const QDate& asOf);
QList<AgeingRow> ageing(db::Connection& connection, Side side, const QDate& asOf);
// The sum over the rows: buckets, total and credit.
AgeingRow ageingTotal(const QList<AgeingRow>& rows);
// The credit of a company (of every company when `compCode` is blank) on a
// date, as the ageing counts it: what a statement of its bills takes off.
double creditOn(db::Connection& connection, Side side, const QString& compCode, const QDate& asOf);

// One movement of a company's statement.
struct StatementLine {
    QDate date;
    QString kind;           // "销售", "退货", "收款", "付款", "开单实收", "开单实付"
    QString number;         // the bill's or the voucher's number
    double increase = 0;    // raises what is owed
    double decrease = 0;
    double balance = 0;     // running balance after this line
    double credit = 0;      // of a voucher: the part that became the company's credit (negative: credit it used)
    bool voucher = false;   // a receipt or payment, at its full amount
};

struct CompanyStatement {
    double broughtForward = 0;   // balance at the end of the day before `from`
    QList<StatementLine> lines;  // from..to, by date
    double closing = 0;          // equals the ageing's total for the company on `to`
};

CompanyStatement statement(db::Connection& connection, Side side, const QString& compCode, const QDate& from,
                           const QDate& to);

// A customer's credit limit against a sale.
struct LimitCheck {
    double limit = 0;       // 0: no limit
    double open = 0;        // receivable now, less the company's credit, without this bill
    double bill = 0;        // what this bill leaves unpaid
    bool exceeded() const;  // open + bill above the limit, in cents
};

// `billNo` is the bill being saved; its stored amounts (when it is edited) are
// not counted twice. `billOpen` is its amount due less what is paid on it.
LimitCheck checkLimit(db::Connection& connection, const QString& compCode, const QString& billNo, double billOpen);
// The message a sale over the limit shows: limit, open amount and this bill.
QString limitMessage(const LimitCheck& check);

} // namespace Receivables
