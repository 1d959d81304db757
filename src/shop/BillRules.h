#pragma once

#include "shop/BillStore.h"
#include "shop/Receivables.h"

#include <QString>
#include <QVariant>
#include <stdexcept>

namespace db {
class Connection;
}

// What a bill must be to be stored: the one check of its header and lines,
// asked by BillStore::save for every bill and by the windows early, where a
// value is typed. Its totals are the bill's only totals. Window-free.
namespace BillRules {

// What a refusal points at, so a window can put the focus there.
enum class Column { None, Company, Code, Quantity, Price };

struct Refusal {
    int line = -1;                 // 0-based line of the bill; -1 for the header or the whole bill
    Column column = Column::None;
    QString message;               // "第2行：数量“-5”必须大于0"
    bool isEmpty() const { return message.isEmpty(); }
};

// A bill the rules refuse; what() is the refusal's message.
class Refused : public std::runtime_error {
public:
    explicit Refused(const Refusal& refusal);
    const Refusal& refusal() const { return m_refusal; }

private:
    Refusal m_refusal;
};

struct Totals {
    double quantity = 0;   // Σ quantity
    double amount = 0;     // Σ quantity × unit price, rounded to the cent
};
Totals totals(const QList<StockPosting::BillLine>& lines);

// The goods' own code for a code typed in any case; empty when no goods has it.
QString goodsCode(db::Connection& connection, const QString& typed);
// The company's own code for a code typed in any case; empty when none has it.
QString companyCode(db::Connection& connection, const QString& typed);

// "数量“-5”必须大于0" for a quantity that is missing or not above 0; empty when it is.
QString quantityRefusal(const QVariant& quantity);
// The first fault of one line (row is 0-based), in the order goods, quantity,
// price, digit limits; empty when the line may be stored.
Refusal lineRefusal(db::Connection& connection, int row, const QString& code, const QVariant& quantity,
                    const QVariant& price);

// Checks the header's company and every line, and the bill not being empty.
// Returns the bill as it is stored: codes as the goods' and company's own, the
// amount due (shou_tota) from totals() less the discount the header may give
// (disc_tota, 0 to the total). Throws Refused. The credit limit aside.
BillStore::Bill checked(db::Connection& connection, const BillStore::Bill& bill);

// A sale against its customer's credit limit (never exceeded for other kinds or without a company).
Receivables::LimitCheck creditCheck(db::Connection& connection, StockPosting::BillKind kind,
                                    const BillStore::Bill& bill);
// Whether the logged-in user may confirm a sale over the limit.
bool mayExceedLimit();
// The refusal of a sale over the limit that the bill does not say was confirmed
// by a user holding the right; empty when it may be stored.
QString creditRefusal(const Receivables::LimitCheck& check, bool confirmed);

} // namespace BillRules
