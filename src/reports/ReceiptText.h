#pragma once

#include "shop/Receipt.h"
#include "shop/TillShift.h"

#include <QList>
#include <QString>
#include <QStringList>

// A till receipt laid out as lines of a roll so many characters wide, as a
// thermal printer in Chinese mode prints them: an ASCII character takes one
// column, any other (a Chinese character, "×") two. The ESC/POS stream and the
// page print the same lines.
namespace ReceiptText {

enum class Style { Normal, Bold, Large };

struct Line {
    QString text;            // left-aligned, or centred
    QString right;           // right-aligned on the same line (an amount)
    bool centred = false;
    Style style = Style::Normal;
    bool rule = false;       // a dashed line across the roll (a ruled line on a page)
};

// Columns a text takes on the roll.
int displayWidth(const QString& text);

// The text in pieces of at most `columns` columns; never splits a character.
QStringList wrap(const QString& text, int columns);

// Every line of the receipt, each fitting `columns`; the number's barcode follows them.
QList<Line> lines(const shop::Receipt& receipt, int columns);

// What one paper off the roll holds: the lines, then a barcode (none when
// empty); one that took cash opens the drawer. The title names it on a page.
struct Slip {
    QString title;
    QList<Line> lines;
    QString barcode;
    bool cashTaken = false;
};
Slip slip(const shop::Receipt& receipt, int columns);
// A shift's 交班单: its times, sales and returns, takings by method, the cash
// expected, counted and the difference.
Slip slip(const TillShift::Report& report, int columns);

// The line as exactly `columns` columns of text, padded with spaces.
QString padded(const Line& line, int columns);

// Money with its two decimals; a quantity without trailing zeros.
QString money(double amount);
QString quantity(double value);

} // namespace ReceiptText
