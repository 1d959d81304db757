#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace db {
class Connection;
class Dataset;
}

// The settlement rules shared by receipts, payments and the statements of
// account: which bill headers a settlement lists, how money is spread over
// them, and the company credit carried in company.rest_tota. Window-free.
namespace Settlement {

// Which bills a settlement settles and where its vouchers are kept.
struct Ledger {
    QString billTable;      // "outmain" or "inmain"
    QString voucherTable;   // "gathmain" or "paymain"
    QString lineTable;      // "gathbill" or "paybill": what each voucher paid on each bill
};
const Ledger& receipts();
const Ledger& payments();

struct Filter {
    bool byCompany = false; // only the bills of compCode (none when it is blank)
    QString compCode;       // as shown
    QString billNo;         // as shown; blank lists every bill
    QDate from;             // whole days, both ends included
    QDate to;
    bool onlyOpen = false;  // only bills whose paid amount differs from the amount due
    bool operator==(const Filter&) const = default;
};

struct Bill {
    qint64 id = 0;          // the header's own row
    QString billNo;
    double due = 0;         // shou_tota; empty counts as 0
    double paid = 0;        // fact_tota; empty counts as 0
    bool offset = false;    // a return of the other table: due and paid are its own negated
    double owing() const { return due - paid; }
};

struct Totals {
    double due = 0;
    double paid = 0;
    double owing() const { return due - paid; }
};

// What the user entered for one receipt or payment.
struct Voucher {
    QString number;         // fei_no
    bool numberProposed = false; // the program's time stamp, not typed: it may move on when taken
    QDate date;             // fei_date
    QString compName;
    double amount = 0;      // fei_tota
    QString operName;
    QString feiName;
    QString chekName;
    QString invoiceNo;
    QString remark;
    QString saveId;         // the identity of this save (SaveIdentity); empty stores none
    bool operator==(const Voucher&) const = default;
};

// What a saved voucher holds.
struct Saved {
    QString number;         // the voucher's number as stored
    Totals totals;          // of the bills before the voucher
    double credit = 0;      // brought forward
    double balance = 0;     // carried forward; negative is still owing
};

// The list's statement; bills in order of date, then number, then entry. Beside
// the ledger's bills it lists the companies' returns kept in the other table
// (customer returns beside sales, returns to suppliers beside purchases) with
// their amounts negated, as they lower what the company owes; a settlement
// takes them as money and closes them.
QString listSql(const QString& billTable, const Filter& filter);
// Sets the dataset to the settlement list and opens it.
void openList(db::Dataset& list, const QString& billTable, const Filter& filter);
QList<Bill> readBills(db::Connection& connection, const QString& billTable, const Filter& filter);

Totals totals(const QList<Bill>& bills);
// Sums due and paid over a dataset's rows (an empty value counts as 0).
Totals totals(const db::Dataset& list);

// The company's stored credit; 0 when none, the company is blank or unknown.
double credit(db::Connection& connection, const QString& compCode);
// The balance after paying `amount`: amount + credit - owing, in cents.
double newBalance(double amount, double credit, double owing);

// The paid amount of each bill after spreading `money` over them in order: an
// overpaid bill gives its excess to the money first and is brought back to its
// due amount; then each bill takes what it owes while the money lasts.
QList<double> spread(double money, const QList<Bill>& bills);

// Spreads the amount and any credit over the filter's bills as they stand in the
// database now, stores the voucher and keeps the company's credit (0 once used
// up), all in one write transaction. Throws db::Error and then leaves nothing
// changed; refuses an amount that is not above 0. A number another voucher of
// the table holds moves on to the next free second when it was proposed, and is
// refused when it was typed.
Saved save(db::Connection& connection, const Ledger& ledger, const Filter& filter, const Voucher& voucher);
// What the voucher a save with this identity stored holds; nothing when there is none.
std::optional<Saved> storedBy(db::Connection& connection, const Ledger& ledger, const QString& saveId);

} // namespace Settlement
