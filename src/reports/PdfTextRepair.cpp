#include "reports/PdfTextRepair.h"

#include "reports/ReportFont.h"

#include <QFile>
#include <QHash>
#include <QRawFont>
#include <QRegularExpression>

namespace {

constexpr char32_t radicalsFirst = 0x2E80;
constexpr char32_t radicalsLast = 0x2FDF;

// Radical code point -> the ideograph drawn with the same glyph.
const QHash<char32_t, char32_t>& ideographOfRadical()
{
    static const QHash<char32_t, char32_t> map = [] {
        QHash<char32_t, char32_t> result;
        const QRawFont raw = QRawFont::fromFont(ReportFont().toQFont(4));
        if (!raw.isValid())
            return result;
        QString ideographs;
        for (char32_t c = 0x4E00; c <= 0x9FFF; ++c)
            ideographs += QChar(char16_t(c));
        const QList<quint32> glyphs = raw.glyphIndexesForString(ideographs);
        QHash<quint32, char32_t> byGlyph;
        for (int i = 0; i < glyphs.size(); ++i)
            if (glyphs.at(i) && !byGlyph.contains(glyphs.at(i)))
                byGlyph.insert(glyphs.at(i), 0x4E00 + i);
        QString radicals;
        for (char32_t c = radicalsFirst; c <= radicalsLast; ++c)
            radicals += QChar(char16_t(c));
        const QList<quint32> radicalGlyphs = raw.glyphIndexesForString(radicals);
        for (int i = 0; i < radicalGlyphs.size(); ++i)
            if (radicalGlyphs.at(i) && byGlyph.contains(radicalGlyphs.at(i)))
                result.insert(radicalsFirst + i, byGlyph.value(radicalGlyphs.at(i)));
        return result;
    }();
    return map;
}

// Rewrites the hexadecimal names <XXXX> found in text.
void fixNames(QByteArray& text)
{
    static const QRegularExpression name(QStringLiteral("<([0-9A-Fa-f]{4})>"));
    const QString s = QString::fromLatin1(text);
    auto it = name.globalMatch(s);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const char32_t code = m.captured(1).toUInt(nullptr, 16);
        const auto found = ideographOfRadical().constFind(code);
        if (found != ideographOfRadical().constEnd())
            text.replace(m.capturedStart(1), 4, QByteArray::number(uint(*found), 16).toUpper().rightJustified(4, '0'));
    }
}

// In "<first> <last> [<name> ...]" and "<first> <last> <name>" only names follow
// the two character codes; in "<code> <name>" only the second is a name.
void fixLine(QByteArray& line, bool range)
{
    int skip = range ? 2 : 1;
    int pos = 0;
    while (skip > 0) {
        pos = line.indexOf('>', pos);
        if (pos < 0)
            return;
        ++pos;
        --skip;
    }
    QByteArray rest = line.mid(pos);
    fixNames(rest);
    line = line.left(pos) + rest;
}

} // namespace

bool PdfTextRepair::repair(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray pdf = file.readAll();
    file.close();

    bool changed = false;
    for (const bool range : {true, false}) {
        const QByteArray begin = range ? "beginbfrange" : "beginbfchar";
        const QByteArray end = range ? "endbfrange" : "endbfchar";
        qsizetype from = 0;
        while ((from = pdf.indexOf(begin, from)) >= 0) {
            const qsizetype start = from + begin.size();
            const qsizetype stop = pdf.indexOf(end, start);
            if (stop < 0)
                break;
            QList<QByteArray> lines = pdf.mid(start, stop - start).split('\n');
            for (QByteArray& line : lines)
                fixLine(line, range);
            const QByteArray fixed = lines.join('\n');
            if (fixed != pdf.mid(start, stop - start)) {
                pdf.replace(start, stop - start, fixed);
                changed = true;
            }
            from = stop;
        }
    }
    if (!changed)
        return true;
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(pdf) == pdf.size();
}
