#include "reports/ReceiptText.h"

#include "shop/Amounts.h"

#include <QLocale>

namespace ReceiptText {

namespace {

// Control characters in a name would reach the printer as commands.
QString printable(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return out.simplified();
}

int charWidth(char32_t c)
{
    return c < 0x80 ? 1 : 2;
}

Line ruleLine(int columns)
{
    Line line;
    line.text = QString(columns, QLatin1Char('-'));
    line.rule = true;
    return line;
}

} // namespace

int displayWidth(const QString& text)
{
    int width = 0;
    for (char32_t c : text.toUcs4())
        width += charWidth(c);
    return width;
}

QStringList wrap(const QString& text, int columns)
{
    QStringList pieces;
    QString current;
    int width = 0;
    for (char32_t c : text.toUcs4()) {
        const QString ch = QString::fromUcs4(&c, 1);
        const int w = charWidth(c);
        if (width + w > columns && !current.isEmpty()) {
            // A Latin word moves whole to the next line when a space before it leaves room.
            const qsizetype space = current.lastIndexOf(QLatin1Char(' '));
            if (c < 0x80 && c != U' ' && space > 0 && current.back().unicode() < 0x80) {
                pieces << current.left(space);
                current = current.mid(space + 1);
            } else {
                pieces << current;
                current.clear();
            }
            width = displayWidth(current);
            if (c == U' ' && current.isEmpty())
                continue;
        }
        current += ch;
        width += w;
    }
    if (!current.trimmed().isEmpty() || pieces.isEmpty())
        pieces << current;
    for (QString& p : pieces)
        p = p.trimmed();
    return pieces;
}

QString money(double amount)
{
    return QLocale::c().toString(shop::amounts::cents(amount), 'f', 2);
}

QString quantity(double value)
{
    QString text = QLocale::c().toString(value, 'f', 2);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text;
}

QList<Line> lines(const shop::Receipt& receipt, int columns)
{
    QList<Line> out;
    const auto centred = [&out, columns](const QString& text, Style style = Style::Normal) {
        if (text.isEmpty())
            return;
        for (const QString& piece : wrap(text, columns))
            out.append({piece, {}, true, style});
    };
    const auto left = [&out, columns](const QString& text) {
        for (const QString& piece : wrap(text, columns))
            out.append({piece, {}, false, Style::Normal});
    };
    // A caption and an amount on one line, or the amount on a line of its own when both do not fit.
    const auto pair = [&out, columns](const QString& caption, const QString& amount, Style style = Style::Normal) {
        if (displayWidth(caption) + 1 + displayWidth(amount) <= columns) {
            out.append({caption, amount, false, style});
            return;
        }
        for (const QString& piece : wrap(caption, columns))
            out.append({piece, {}, false, style});
        out.append({{}, amount, false, style});
    };

    centred(printable(receipt.shopName), Style::Bold);
    centred(printable(receipt.shopAddress));
    if (!receipt.shopPhone.trimmed().isEmpty())
        centred(QStringLiteral("电话：") + printable(receipt.shopPhone));
    if (receipt.isReturn)
        centred(QStringLiteral("退货小票"), Style::Bold);
    out.append(ruleLine(columns));
    left(QStringLiteral("单号：") + printable(receipt.number));
    left(QStringLiteral("日期：") + receipt.when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    left(QStringLiteral("收银：") + printable(receipt.cashier));
    out.append(ruleLine(columns));

    double pieces = 0;
    for (const shop::Receipt::Line& l : receipt.lines) {
        left(printable(l.name));
        pair(QStringLiteral("  %1 × %2").arg(quantity(l.quantity), money(l.price)), money(l.amount));
        pieces += l.quantity;
    }
    out.append(ruleLine(columns));
    pair(QStringLiteral("件数"), quantity(pieces));
    if (receipt.discount > 0)
        pair(QStringLiteral("折扣"), QLatin1Char('-') + money(receipt.discount));
    pair(receipt.isReturn ? QStringLiteral("退款合计") : QStringLiteral("合计"), money(receipt.total), Style::Large);
    for (const shop::Receipt::Payment& p : receipt.payments)
        pair((receipt.isReturn ? QStringLiteral("退") : QString()) + printable(p.method), money(p.amount));
    if (receipt.change > 0)
        pair(QStringLiteral("找零"), money(receipt.change));
    out.append(ruleLine(columns));
    return out;
}

QString padded(const Line& line, int columns)
{
    const int used = displayWidth(line.text) + displayWidth(line.right);
    const int spare = qMax(0, columns - used);
    if (line.centred) {
        const int before = spare / 2;
        return QString(before, QLatin1Char(' ')) + line.text + QString(spare - before, QLatin1Char(' '));
    }
    return line.text + QString(spare, QLatin1Char(' ')) + line.right;
}

} // namespace ReceiptText
