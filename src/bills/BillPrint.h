#pragma once

#include <QString>

class ReportLayout;

namespace db {
class Connection;
}

// Filling the bill print-outs from the bill a window shows.
namespace BillPrint {

// Blank lines that fill the last page of `lines` table lines to `lineCount`
// (none when the lines already fill whole pages, or lineCount is 0).
int fillerCount(int lines, int lineCount);

// Copies the out-bill's lines into outtemp, in their order, and pads them with
// blank lines that carry only the bill number. Returns the rows outtemp holds.
int fillOutTemp(db::Connection& connection, const QString& billNo, int lineCount);

struct Texts {
    QString title;    // company name + the window's title text
    QString footer;
    QString words;    // total amount in words, as shown
    QString quantity;
    QString amount;
};
// Puts the texts into the bill layout's named labels; the title is centred.
void setTexts(ReportLayout& layout, const Texts& texts);

} // namespace BillPrint
