#include "EscPosReader.h"

#include <QStringDecoder>

EscPosReader::EscPosReader(const QByteArray& bytes)
{
    QByteArray text;
    int columns = 0;
    bool bold = false;
    bool large = false;
    bool lineBold = false;   // bold or large for any of the line's characters
    bool lineLarge = false;
    int moduleDots = 1;
    const auto at = [&bytes](qsizetype i) { return i < bytes.size() ? quint8(bytes.at(i)) : -1; };
    const auto fail = [this](qsizetype i, const QString& what) {
        if (fault.isEmpty())
            fault = QStringLiteral("byte %1: %2").arg(i).arg(what);
    };
    qsizetype i = 0;
    while (i < bytes.size() && fault.isEmpty()) {
        const int b = at(i);
        if (b == 0x1b) {
            const int c = at(i + 1);
            if (c == '@') {
                reset = reset || i == 0;
                bold = large = false;
                i += 2;
            } else if (c == 'E') {
                bold = at(i + 2) & 1;
                i += 3;
            } else if (c == 'a' || c == 'd') {
                i += 3;
            } else if (c == 'p') {
                drawerPulse = true;
                pulseAfterCut = cut;
                i += 5;
            } else {
                fail(i, QStringLiteral("unknown ESC %1").arg(c));
            }
        } else if (b == 0x1d) {
            const int c = at(i + 1);
            if (c == '!') {
                large = at(i + 2) != 0;
                i += 3;
            } else if (c == 'h' || c == 'H') {
                i += 3;
            } else if (c == 'w') {
                moduleDots = at(i + 2);
                i += 3;
            } else if (c == 'V') {
                cut = true;
                i += (at(i + 2) == 65 || at(i + 2) == 66) ? 4 : 3;
            } else if (c == 'k' && at(i + 2) == 73) {
                const int n = at(i + 3);
                QByteArray data = bytes.mid(i + 4, n);
                if (data.size() != n || !data.startsWith("{B"))
                    fail(i, QStringLiteral("Code 128 without its set or length"));
                barcodes << QString::fromLatin1(data.mid(2).replace("{{", "{"));
                barcodeModuleDots << moduleDots;
                i += 4 + n;
            } else {
                fail(i, QStringLiteral("unknown GS %1").arg(c));
            }
        } else if (b == 0x1c) {
            if (at(i + 1) == '&')
                chineseMode = true;
            else
                fail(i, QStringLiteral("unknown FS %1").arg(at(i + 1)));
            i += 2;
        } else if (b == '\n') {
            lines.append({QStringDecoder("GB18030").decode(text), columns, lineBold, lineLarge});
            text.clear();
            columns = 0;
            lineBold = lineLarge = false;
            ++i;
        } else if (b < 0x20 || b == 0x7f) {
            fail(i, QStringLiteral("control byte %1 in text").arg(b));
        } else if (b < 0x80) {
            lineBold = lineBold || bold;
            lineLarge = lineLarge || large;
            text.append(char(b));
            ++columns;
            ++i;
        } else {
            // GB18030: a lead byte, then a byte of 0x30..0x39 starts a four-byte character.
            lineBold = lineBold || bold;
            lineLarge = lineLarge || large;
            const int length = (at(i + 1) >= 0x30 && at(i + 1) <= 0x39) ? 4 : 2;
            text.append(bytes.mid(i, length));
            columns += 2;
            i += length;
        }
    }
    if (!text.isEmpty())
        fail(bytes.size(), QStringLiteral("text after the last line feed"));
    largeLeftOn = bold || large;
}

QStringList EscPosReader::texts() const
{
    QStringList out;
    for (const TextLine& l : lines)
        out << l.text.trimmed();
    return out;
}

EscPosReader::TextLine EscPosReader::line(const QString& caption) const
{
    for (const TextLine& l : lines)
        if (l.text.trimmed().startsWith(caption))
            return l;
    return {};
}

int EscPosReader::widest() const
{
    int widest = 0;
    for (const TextLine& l : lines)
        widest = qMax(widest, l.columns);
    return widest;
}
