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

// "编码 名称" of the first goods other than `ownId` whose column holds the value.
QString otherGoods(db::Connection& connection, const char* column, const QString& value, qint64 ownId)
{
    db::Statement s(connection, QStringLiteral("select gods_code, gods_name from goods where %1=:value "
                                               "and in_id<>:own order by gods_code limit 1")
                                    .arg(QLatin1String(column)));
    s.bind(QStringLiteral("value"), value);
    s.bind(QStringLiteral("own"), ownId);
    if (!s.next())
        return {};
    return (s.textValue(0) + QLatin1Char(' ') + s.textValue(1)).trimmed();
}

// Whether the goods already stores this value in the column.
bool storedAlready(db::Connection& connection, const char* column, const QString& value, qint64 ownId)
{
    if (ownId < 0)
        return false;
    db::Statement s(connection, QStringLiteral("select 1 from goods where in_id=:own and %1=:value")
                                    .arg(QLatin1String(column)));
    s.bind(QStringLiteral("own"), ownId);
    s.bind(QStringLiteral("value"), value);
    return s.next();
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
    return otherGoods(connection, "bar_code", barCode.trimmed(), ownId);
}

QString takenReason(const QString& otherGoods)
{
    return QStringLiteral("已被货品“%1”使用").arg(otherGoods);
}

QString isCodeReason(const QString& otherGoods)
{
    return QStringLiteral("是货品“%1”的编码").arg(otherGoods);
}

QString isBarcodeReason(const QString& otherGoods)
{
    return QStringLiteral("是货品“%1”的条形码").arg(otherGoods);
}

QString checkDigitReason(const QString& code)
{
    return QStringLiteral("校验位不对（应为%1）").arg(checkDigit(code.chopped(1)));
}


QString barcodeRefusal(db::Connection& connection, const QString& barCode, const QString& ownCode, qint64 ownId)
{
    const QString code = barCode.trimmed();
    if (code.isEmpty())
        return {};
    if (const QString other = holder(connection, code, ownId); !other.isEmpty())
        return takenReason(other);
    if (code.compare(ownCode.trimmed(), Qt::CaseInsensitive) == 0 || storedAlready(connection, "bar_code", code, ownId))
        return {};
    if (const QString other = otherGoods(connection, "gods_code", code, ownId); !other.isEmpty())
        return isCodeReason(other);
    return {};
}

QString codeRefusal(db::Connection& connection, const QString& code, qint64 ownId)
{
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty() || storedAlready(connection, "gods_code", trimmed, ownId))
        return {};
    if (const QString other = otherGoods(connection, "bar_code", trimmed, ownId); !other.isEmpty())
        return isBarcodeReason(other);
    return {};
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
    db::Statement isCode(connection, QStringLiteral("select 1 from goods where gods_code=:code"));
    // A code that is some goods' own code would find two goods when scanned: passed over.
    const auto nextFree = [&] {
        for (;;) {
            if (++body >= pastInternal)
                throw std::runtime_error("店内条码已用完");
            const QString code = internalCode(body);
            isCode.reset();
            isCode.bind(QStringLiteral("code"), code);
            if (!isCode.next())
                return code;
        }
    };
    QString last;
    for (const qint64 id : std::as_const(ids)) {
        last = nextFree();
        set.reset();
        set.bind(QStringLiteral("code"), last);
        set.bind(QStringLiteral("id"), id);
        set.execute();
    }
    OperationLog::write(connection, {window, generatedAction, last,
                                     QStringLiteral("%1 种货品").arg(ids.size()), {}});
    transaction.commit();
    return int(ids.size());
}

} // namespace Barcodes
