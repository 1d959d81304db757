#include "core/SheetReader.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <minizip/unzip.h>
#include <cmath>
#include <stdexcept>

namespace SheetReader {

namespace {

[[noreturn]] void fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

// --- CSV -----------------------------------------------------------------

bool isBlank(const QList<QVariant>& cells)
{
    for (const QVariant& cell : cells)
        if (cell.isValid() && (cell.typeId() != QMetaType::QString || !cell.toString().trimmed().isEmpty()))
            return false;
    return true;
}

// --- XLSX ----------------------------------------------------------------

class ZipFile {
public:
    explicit ZipFile(const QString& fileName)
    {
        m_zip = unzOpen64(QFile::encodeName(fileName).constData());
        if (!m_zip)
            fail(QStringLiteral("%1 不是有效的 Excel 文件(.xlsx)").arg(QDir::toNativeSeparators(fileName)));
    }
    ~ZipFile() { unzClose(m_zip); }
    ZipFile(const ZipFile&) = delete;
    ZipFile& operator=(const ZipFile&) = delete;

    bool has(const QString& name) const { return unzLocateFile(m_zip, name.toUtf8().constData(), 1) == UNZ_OK; }

    // The whole member; empty when the file has none of that name.
    QByteArray member(const QString& name) const
    {
        if (!has(name) || unzOpenCurrentFile(m_zip) != UNZ_OK)
            return {};
        QByteArray data;
        char buffer[65536];
        int n = 0;
        while ((n = unzReadCurrentFile(m_zip, buffer, sizeof buffer)) > 0)
            data.append(buffer, n);
        unzCloseCurrentFile(m_zip);
        if (n < 0)
            fail(QStringLiteral("Excel 文件已损坏：无法读出 %1").arg(name));
        return data;
    }

private:
    unzFile m_zip = nullptr;
};

// A cell reference's column, "AB12" → 27; -1 when it names none.
int columnOf(QStringView reference)
{
    int column = 0;
    int letters = 0;
    for (QChar ch : reference) {
        if (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z')) {
            column = column * 26 + (ch.unicode() - 'A' + 1);
            ++letters;
        } else {
            break;
        }
    }
    return letters ? column - 1 : -1;
}

int rowOf(QStringView reference)
{
    qsizetype i = 0;
    while (i < reference.size() && reference[i].isLetter())
        ++i;
    return reference.mid(i).toInt();
}

// The text of an element holding <t> runs (a shared string or an inline one),
// leaving out phonetic runs.
QString runText(QXmlStreamReader& xml)
{
    const QString end = xml.name().toString();
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText();
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

QStringList sharedStrings(const QByteArray& data)
{
    QStringList strings;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            strings.append(runText(xml));
    }
    return strings;
}

bool isDateFormatCode(const QString& code)
{
    QString plain;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (ch == QLatin1Char('"'))
            quoted = !quoted;
        else if (ch == QLatin1Char('\\') || ch == QLatin1Char('_'))
            ++i;
        else if (ch == QLatin1Char('['))
            while (i < code.size() && code[i] != QLatin1Char(']'))
                ++i;
        else if (!quoted)
            plain += ch.toLower();
    }
    return plain.contains(QLatin1Char('y')) || plain.contains(QLatin1Char('d'))
           || (plain.contains(QLatin1Char('m')) && plain.contains(QLatin1Char('h')));
}

// For each cell style, whether it shows a date.
QList<bool> dateStyles(const QByteArray& data)
{
    QHash<int, bool> customDate;
    QList<bool> styles;
    QXmlStreamReader xml(data);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("numFmt")) {
                customDate.insert(xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                                  isDateFormatCode(xml.attributes().value(QLatin1String("formatCode")).toString()));
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                const bool builtInDate = (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36)
                                         || (id >= 50 && id <= 58);
                styles.append(customDate.contains(id) ? customDate.value(id) : builtInDate);
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    return styles;
}

QString attributeNamed(const QXmlStreamAttributes& attributes, QLatin1String name)
{
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == name)
            return a.value().toString();
    return {};
}

// The path inside the archive of the workbook's first sheet.
QString firstSheetPath(const ZipFile& zip)
{
    QString relationId;
    {
        QXmlStreamReader xml(zip.member(QStringLiteral("xl/workbook.xml")));
        while (!xml.atEnd() && relationId.isEmpty()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("sheet"))
                relationId = attributeNamed(xml.attributes(), QLatin1String("id"));
        }
    }
    if (!relationId.isEmpty()) {
        QXmlStreamReader xml(zip.member(QStringLiteral("xl/_rels/workbook.xml.rels")));
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")
                && xml.attributes().value(QLatin1String("Id")) == relationId) {
                QString target = xml.attributes().value(QLatin1String("Target")).toString();
                target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
                if (zip.has(target))
                    return target;
            }
        }
    }
    return QStringLiteral("xl/worksheets/sheet1.xml");
}

bool usesDate1904(const ZipFile& zip)
{
    QXmlStreamReader xml(zip.member(QStringLiteral("xl/workbook.xml")));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("workbookPr")) {
            const auto v = xml.attributes().value(QLatin1String("date1904"));
            return v == QLatin1String("1") || v == QLatin1String("true");
        }
    }
    return false;
}

QDateTime fromSerial(double serial, bool date1904)
{
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    const qint64 days = qint64(std::floor(serial));
    const qint64 ms = qint64(std::llround((serial - double(days)) * 86400000.0));
    return QDateTime(base.addDays(days), QTime(0, 0)).addMSecs(ms);
}

} // namespace

QString decodeCsv(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    return gb(bytes);
}

QList<SheetRow> readCsv(const QByteArray& bytes)
{
    const QString text = decodeCsv(bytes);
    QList<SheetRow> rows;
    QList<QVariant> cells;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    int number = 1;
    const auto endField = [&] {
        cells.append(field.isEmpty() && !wasQuoted ? QVariant() : QVariant(field));
        field.clear();
        wasQuoted = false;
    };
    const auto endRow = [&] {
        endField();
        if (!isBlank(cells))
            rows.append({number, cells});
        cells.clear();
        ++number;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    field += ch;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += ch;
            }
        } else if (ch == QLatin1Char('"') && field.isEmpty()) {
            quoted = true;
            wasQuoted = true;
        } else if (ch == QLatin1Char(',')) {
            endField();
        } else if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            if (ch == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endRow();
        } else {
            field += ch;
        }
    }
    if (!field.isEmpty() || !cells.isEmpty() || wasQuoted)
        endRow();
    return rows;
}

QList<SheetRow> readXlsx(const QString& fileName)
{
    const ZipFile zip(fileName);
    if (!zip.has(QStringLiteral("xl/workbook.xml")))
        fail(QStringLiteral("%1 不是有效的 Excel 文件(.xlsx)").arg(QDir::toNativeSeparators(fileName)));
    const QStringList strings = sharedStrings(zip.member(QStringLiteral("xl/sharedStrings.xml")));
    const QList<bool> dates = dateStyles(zip.member(QStringLiteral("xl/styles.xml")));
    const bool date1904 = usesDate1904(zip);

    QList<SheetRow> rows;
    // Read through a device: the reader then takes the XML a block at a time
    // instead of shifting the whole buffer as it goes.
    QByteArray data = zip.member(firstSheetPath(zip));
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&device);
    SheetRow row;
    int lastRow = 0;
    int lastColumn = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            if (!row.cells.isEmpty() && !isBlank(row.cells))
                rows.append(row);
            const int r = xml.attributes().value(QLatin1String("r")).toInt();
            row = SheetRow{r > 0 ? r : lastRow + 1, {}};
            lastRow = row.number;
            lastColumn = -1;
        } else if (xml.name() == QLatin1String("c")) {
            const QXmlStreamAttributes a = xml.attributes();
            const QString reference = a.value(QLatin1String("r")).toString();
            int column = reference.isEmpty() ? lastColumn + 1 : columnOf(reference);
            if (column < 0)
                column = lastColumn + 1;
            if (!reference.isEmpty() && row.number == 0)
                row.number = rowOf(reference);
            lastColumn = column;
            const QString type = a.value(QLatin1String("t")).toString();
            const int style = a.value(QLatin1String("s")).toInt();
            QString raw;
            QString formula;
            bool hasValue = false;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == QLatin1String("f")) {
                    formula = xml.readElementText();
                } else if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
                    raw = xml.readElementText();
                    hasValue = true;
                } else if (xml.isStartElement() && xml.name() == QLatin1String("is")) {
                    raw = runText(xml);
                    hasValue = true;
                } else if (xml.isEndElement() && xml.name() == QLatin1String("c")) {
                    break;
                }
            }
            // A formula saved without its result (written by a program that does not compute) has no value to take.
            if (!hasValue && formula.isEmpty())
                continue;
            QVariant cell;
            if (!hasValue) {
                cell = QVariant::fromValue(SheetError{{}, formula});
            } else if (type == QLatin1String("e")) {
                cell = QVariant::fromValue(SheetError{raw, formula});
            } else if (type == QLatin1String("s")) {
                const int index = raw.toInt();
                cell = index >= 0 && index < strings.size() ? strings[index] : QString();
            } else if (type == QLatin1String("inlineStr") || type == QLatin1String("str")) {
                cell = raw;
            } else if (type == QLatin1String("b")) {
                cell = raw == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (type == QLatin1String("d")) {
                cell = QDateTime::fromString(raw, Qt::ISODate);
            } else {
                bool ok = false;
                const double number = raw.toDouble(&ok);
                if (!ok)
                    cell = raw;
                else if (style >= 0 && style < dates.size() && dates[style])
                    cell = fromSerial(number, date1904);
                else
                    cell = number;
            }
            while (row.cells.size() < column)
                row.cells.append(QVariant());
            row.cells.append(cell);
        }
    }
    if (xml.hasError())
        fail(QStringLiteral("Excel 文件已损坏：%1").arg(xml.errorString()));
    if (!row.cells.isEmpty() && !isBlank(row.cells))
        rows.append(row);
    return rows;
}

QList<SheetRow> read(const QString& fileName)
{
    if (!QFileInfo::exists(fileName))
        fail(QStringLiteral("文件不存在：%1").arg(QDir::toNativeSeparators(fileName)));
    if (fileName.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive))
        fail(QStringLiteral("%1 是旧的 Excel 格式(.xls)，请在 Excel 中另存为 .xlsx 后再导入")
                 .arg(QDir::toNativeSeparators(fileName)));
    if (fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return readXlsx(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("无法打开文件 %1：%2").arg(QDir::toNativeSeparators(fileName), file.errorString()));
    return readCsv(file.readAll());
}

} // namespace SheetReader
