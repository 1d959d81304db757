#pragma once

#include "shop/StockPosting.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QVariant>

#include <functional>
#include <optional>

namespace db {
class Connection;
}

// Writing and deleting whole bills: header, lines and every stock change in one
// write transaction, so a failure leaves nothing behind. Window-free.
namespace BillStore {

using StockPosting::BillKind;
using StockPosting::BillLine;

// Where a kind of bill is kept.
struct KindInfo {
    QString headerTable;   // "inmain"
    QString lineTable;     // "ingoods"
    QString billType;      // "in"
};
const KindInfo& info(BillKind kind);

struct Bill {
    qint64 headerId = 0;   // in_id of the stored header; 0 for a new bill
    QString billNo;        // a new bill's proposed number
    // Header columns and values to store, bill_no, in_id and bill_type aside.
    QList<QPair<QString, QVariant>> header;
    QList<BillLine> lines;
    // The identity of this save (SaveIdentity), stored with the header; empty stores none.
    QString saveId;
    bool operator==(const Bill&) const = default;
    // A sale over the customer's credit limit, confirmed by a user holding the right.
    bool overLimitConfirmed = false;
};

// Stores the bill and moves stock: an edited bill first takes its stored lines
// back out; a new one takes the first free number from its own on. Returns the
// number the bill is stored under. A bill BillRules refuses throws
// BillRules::Refused, any other failure db::Error; either way nothing changed.
// Codes are stored as the goods' and company's own, the amount due as the
// bill's total. A sale or customer return with a member's card_no moves the
// member's points (MemberPoints::settleSaleBill / settleReturnBill).
// `alsoWrite` stores what belongs to the bill in other tables (a till sale's
// payments and the points it spent) in the same transaction, after the bill,
// its stock and its points.
using AlsoWrite = std::function<void(db::Connection& connection, const QString& billNo)>;
QString save(db::Connection& connection, BillKind kind, const Bill& bill, const AlsoWrite& alsoWrite = {});

// The number of the bill a save with this identity stored; nothing when there is none.
std::optional<QString> storedBy(db::Connection& connection, BillKind kind, const QString& saveId);

// Takes the bill's lines out of stock and deletes it. Refuses (db::Error with
// monthCountedMessage) when the stored bill's month has been counted.
void remove(db::Connection& connection, BillKind kind, const QString& billNo);

inline const QString monthCountedMessage = QStringLiteral("本单所在月份已经盘点，不可删除");

// The window a kind of bill is written in, as the change log names it.
QString windowName(BillKind kind);
// Records a print of a stored bill in the change log: "打印" the first time, "重印" after.
void logPrint(db::Connection& connection, BillKind kind, const QString& billNo);

// The stored bill's date (null when there is no such bill).
QDate storedDate(db::Connection& connection, BillKind kind, const QString& billNo);
// The stored lines of a bill, in the order they were written.
QList<BillLine> storedLines(db::Connection& connection, BillKind kind, const QString& billNo);

} // namespace BillStore
