#include "reports/EscPosReceipt.h"

#include "reports/ReceiptText.h"

#include <QStringEncoder>

namespace EscPosReceipt {

namespace {

constexpr char ESC = 0x1b;
constexpr char GS = 0x1d;
constexpr char FS = 0x1c;

QByteArray command(std::initializer_list<int> codes)
{
    QByteArray out;
    for (int c : codes)
        out.append(char(c));
    return out;
}

// Code 128, code set B, in GS k's second form: "{B" chooses the set, a "{" of
// the number itself is doubled. Empty when the number has characters set B has
// not or its bars do not fit across the roll at one dot a module.
QByteArray barcode(const QString& number, int columns)
{
    if (number.isEmpty())
        return {};
    QByteArray data = "{B";
    for (QChar c : number) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return {};
        data.append(char(c.unicode()));
        if (c == QLatin1Char('{'))
            data.append('{');
    }
    if (data.size() > 255)
        return {};
    // Start, the characters, check and stop symbols, and ten modules of quiet zone each side.
    const int modules = 11 * int(number.size()) + 35 + 20;
    int moduleDots = 3;
    while (moduleDots > 1 && modules * moduleDots > dotsAcross(columns))
        --moduleDots;
    if (modules * moduleDots > dotsAcross(columns))
        return {};
    QByteArray out;
    out += command({ESC, 'a', 1});             // centred
    out += command({GS, 'h', 80});             // bar height in dots
    out += command({GS, 'w', moduleDots});
    out += command({GS, 'H', 2});              // the number printed below the bars
    out += command({GS, 'k', 73, int(data.size())}) + data;
    out += command({ESC, 'a', 0});
    return out;
}

} // namespace

int dotsAcross(int columns)
{
    return columns <= 32 ? 384 : 576;
}

QByteArray bytes(const shop::Receipt& receipt, int columns)
{
    return bytes(ReceiptText::slip(receipt, columns), columns);
}

QByteArray bytes(const ReceiptText::Slip& slip, int columns)
{
    QStringEncoder gb18030("GB18030");
    QByteArray out = command({ESC, '@'});     // reset
    out += command({FS, '&'});                 // two-byte characters on
    for (const ReceiptText::Line& line : slip.lines) {
        const QByteArray text = gb18030.encode(ReceiptText::padded(line, columns));
        switch (line.style) {
        case ReceiptText::Style::Normal:
            out += text;
            break;
        case ReceiptText::Style::Bold:
            out += command({ESC, 'E', 1}) + text + command({ESC, 'E', 0});
            break;
        case ReceiptText::Style::Large:
            // Double height only: the line keeps its columns.
            out += command({GS, '!', 0x01, ESC, 'E', 1}) + text + command({ESC, 'E', 0, GS, '!', 0});
            break;
        }
        out += '\n';
    }
    out += barcode(slip.barcode, columns);
    out += command({ESC, 'd', 4});            // feed past the cutter
    out += command({GS, 'V', 1});              // partial cut
    if (slip.cashTaken)
        out += command({ESC, 'p', 0, 25, 250}); // drawer on pin 2: 50 ms on, 500 ms off
    return out;
}

} // namespace EscPosReceipt
