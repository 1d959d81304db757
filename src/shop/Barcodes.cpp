#include "shop/Barcodes.h"

#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/OperationLog.h"

#include <stdexcept>

namespace {

bool allDigits(const QString& text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !text.isEmpty();
}

// Internal codes are 13 digits from 2000000000000 to 2999999999999: the first
// twelve digits as a number run from 200000000000 upwards.
constexpr qint64 firstInternal = 200000000000LL;
constexpr qint64 pastInternal = 300000000000LL;

qint64 internalBody(const QString& code)
{
    if (code.size() != 13 || !allDigits(code) || !Barcodes::hasValidCheck(code))
        return -1;
    const qint64 body = code.left(12).toLongLong();
    return body >= firstInternal && body < pastInternal ? body : -1;
}

QString internalCode(qint64 body)
{
    const QString digits = QString::number(body);
    return digits + QString::number(Barcodes::checkDigit(digits));
}

// The highest internal code in use or ever issued.
qint64 highestInternal(db::Connection& connection)
{
    qint64 highest = firstInternal - 1;
    db::Statement used(connection, QStringLiteral("select bar_code from goods where bar_code>=:low and bar_code<:high "
                                                  "order by bar_code desc"));
    used.bind(QStringLiteral("low"), QStringLiteral("2000000000000"));
    used.bind(QStringLiteral("high"), QStringLiteral("3"));
    // Descending, the first code that is one of ours is the highest.
    while (used.next()) {
        if (const qint64 body = internalBody(used.textValue(0).trimmed()); body >= 0) {
            highest = body;
            break;
        }
    }
    db::Statement issued(connection, QStringLiteral("select log_key from oper_log where act_name=:act "
                                                    "order by log_id desc limit 1"));
    issued.bind(QStringLiteral("act"), Barcodes::generatedAction);
    if (issued.next())
        highest = qMax(highest, internalBody(issued.textValue(0)));
    return highest;
}

} // namespace

namespace Barcodes {

int checkDigit(const QString& digits)
{
    // Weights 3 and 1 alternate from the rightmost digit before the check.
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i) {
        const int d = digits.at(digits.size() - 1 - i).digitValue();
        sum += i % 2 == 0 ? 3 * d : d;
    }
    return (10 - sum % 10) % 10;
}

bool looksLikeEan(const QString& code)
{
    return (code.size() == 8 || code.size() == 13) && allDigits(code);
}

bool hasValidCheck(const QString& code)
{
    return looksLikeEan(code) && checkDigit(code.chopped(1)) == code.back().digitValue();
}

Symbology symbology(const QString& code)
{
    if (code.size() == 13 && hasValidCheck(code))
        return Symbology::Ean13;
    if (code.size() == 8 && hasValidCheck(code))
        return Symbology::Ean8;
    return Symbology::Code128;
}

QString cleaned(const QString& scanned)
{
    QString code;
    code.reserve(scanned.size());
    for (const QChar c : scanned)
        if (c.isPrint() && !c.isSpace())
            code.append(c);
    return code;
}

QString holder(db::Connection& connection, const QString& barCode, qint64 ownId)
{
    if (barCode.trimmed().isEmpty())
        return {};
    db::Statement s(connection, QStringLiteral("select gods_code, gods_name from goods where bar_code=:code "
                                               "and in_id<>:own order by gods_code limit 1"));
    s.bind(QStringLiteral("code"), barCode.trimmed());
    s.bind(QStringLiteral("own"), ownId);
    if (!s.next())
        return {};
    return (s.textValue(0) + QLatin1Char(' ') + s.textValue(1)).trimmed();
}

QString goodsFor(db::Connection& connection, const QString& code)
{
    if (code.isEmpty())
        return {};
    for (const char* column : {"bar_code", "gods_code"}) {
        db::Statement s(connection, QStringLiteral("select gods_code from goods where %1=:code order by in_id limit 1")
                                        .arg(QLatin1String(column)));
        s.bind(QStringLiteral("code"), code);
        if (s.next())
            return s.textValue(0);
    }
    return {};
}

QString nextInternal(db::Connection& connection)
{
    return internalCode(highestInternal(connection) + 1);
}

int assignInternal(db::Connection& connection, const QString& window)
{
    db::Transaction transaction(connection, db::Transaction::Write);
    qint64 body = highestInternal(connection);
    QList<qint64> ids;
    {
        db::Statement without(connection, QStringLiteral("select in_id from goods where bar_code is null or bar_code='' "
                                                         "order by gods_code, in_id"));
        while (without.next())
            ids.append(without.intValue(0));
    }
    if (ids.isEmpty())
        return 0;
    if (body + ids.size() >= pastInternal)
        throw std::runtime_error("店内条码已用完");
    db::Statement set(connection, QStringLiteral("update goods set bar_code=:code where in_id=:id"));
    QString last;
    for (const qint64 id : std::as_const(ids)) {
        last = internalCode(++body);
        set.reset();
        set.bind(QStringLiteral("code"), last);
        set.bind(QStringLiteral("id"), id);
        set.execute();
    }
    OperationLog::write(connection, {window, generatedAction, last,
                                     QStringLiteral("%1 件货品").arg(ids.size()), {}});
    transaction.commit();
    return int(ids.size());
}

} // namespace Barcodes
