// Times exporting 100,000 goods rows to .xlsx and CSV and importing them back
// into an emptied catalogue (reading, checking every row, writing in one
// transaction). Wall times, as the user waits for them, and CPU times of the
// thread, steadier on a shared machine.
#include "BenchClock.h"
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "BenchReplay.h"
#include "core/SheetReader.h"
#include "core/SheetWriter.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/SheetImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <xlsxwriter.h>

namespace {

void build(db::Connection& c, int goods)
{
    db::Transaction t(c);
    c.execute("insert into baseitem(gods_spec_id,gods_spec) values('1','品牌')");
    c.execute("insert into baseitem(gods_color_id,gods_color) values('1','红')");
    db::Statement g(c, "insert into goods (gods_code, gods_name, gods_spec, gods_type, gods_kind, gods_unit, "
                       "gods_color, gods_size, batch_out, valu_in, valu_out, max_amou, min_amou, gods_note) values "
                       "(:c, :n, '品牌', '款式', '分类', '件', '红', 'XL', :p, 20.5, 39.9, 50, 2, '备注')");
    for (int i = 0; i < goods; ++i) {
        g.bind("c", QStringLiteral("69%1").arg(i, 11, 10, QLatin1Char('0')))
            .bind("n", QStringLiteral("货品%1").arg(i))
            .bind("p", 10.5 + i % 50);
        g.execute();
        g.reset();
    }
    t.commit();
}

double cpuSince(double start)
{
    return cpuMs() - start;
}

// The bare export: the goods' columns stepped from the engine straight into the
// sheet, text as text and numbers as numbers, a header row on top.
void bareExport(sqlite3* handle, const QByteArray& columns, const QString& fileName)
{
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(handle, "select " + columns + " from goods order by gods_code", -1, &s, nullptr);
    const int count = sqlite3_column_count(s);
    const QByteArray target = QFile::encodeName(fileName);
    if (fileName.endsWith(QLatin1String(".xlsx"))) {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(target.constData(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, "goods");
        for (int col = 0; col < count; ++col)
            worksheet_write_string(sheet, 0, lxw_col_t(col), sqlite3_column_name(s, col), nullptr);
        for (lxw_row_t row = 1; sqlite3_step(s) == SQLITE_ROW; ++row)
            for (int col = 0; col < count; ++col)
                if (sqlite3_column_type(s, col) == SQLITE_TEXT)
                    worksheet_write_string(sheet, row, lxw_col_t(col),
                                           reinterpret_cast<const char*>(sqlite3_column_text(s, col)), nullptr);
                else if (sqlite3_column_type(s, col) != SQLITE_NULL)
                    worksheet_write_number(sheet, row, lxw_col_t(col), sqlite3_column_double(s, col), nullptr);
        workbook_close(book);
    } else {
        FILE* out = std::fopen(target.constData(), "wb");
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int col = 0; col < count; ++col) {
                if (col > 0)
                    std::fputc(',', out);
                if (sqlite3_column_type(s, col) == SQLITE_TEXT)
                    std::fprintf(out, "\"%s\"", reinterpret_cast<const char*>(sqlite3_column_text(s, col)));
                else if (sqlite3_column_type(s, col) != SQLITE_NULL)
                    std::fprintf(out, "%.15g", sqlite3_column_double(s, col));
            }
            std::fputs("\r\n", out);
        }
        std::fclose(out);
    }
    sqlite3_finalize(s);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    BenchFile file;
    TFrmDataMod data;
    db::Connection& c = data.AdoConn;
    file.open(c);
    build(c, goods);

    db::Dataset& q = *data.GoodsQ;
    const QList<std::pair<QString, QString>> shown = {
        {"gods_code", "编码"},     {"gods_name", "名称"},     {"gods_spec", "品牌"},     {"gods_type", "款式"},
        {"gods_kind", "分类"},     {"gods_color", "颜色"},    {"gods_size", "尺码"},     {"gods_unit", "单位"},
        {"batch_out", "批发价"},   {"valu_in", "建议进价"},   {"valu_out", "建议售价"},  {"max_amou", "库存上限"},
        {"min_amou", "库存下限"},  {"gods_note", "备注"}};
    QByteArray columnList;
    for (const auto& [field, caption] : shown)
        columnList += (columnList.isEmpty() ? "" : ",") + field.toUtf8();

    // Exporting: the goods opened and written, against the bare export.
    for (const char* suffix : {".xlsx", ".csv"}) {
        const QString fileName = file.filePath(QStringLiteral("goods") + QLatin1String(suffix));
        double cpu = cpuMs();
        bareExport(c.handle(), columnList, file.filePath(QStringLiteral("bare") + QLatin1String(suffix)));
        const double bare = cpuSince(cpu);
        cpu = cpuMs();
        q.close();
        q.open();
        QList<SheetColumn> columns;
        QList<int> fields;
        for (const auto& [field, caption] : shown) {
            const db::Field& f = q.field(field);
            columns.append({caption, f.type == db::FieldType::Double ? SheetColumn::Kind::Number : SheetColumn::Kind::Text,
                            f.displayFormat, 10});
            fields.append(q.fieldIndex(field));
        }
        SheetWriter::write(fileName, "货品资料", columns, q.recordCount(),
                           [&](int row, int column) { return q.value(row, fields[column]); });
        const double project = cpuSince(cpu);
        std::printf("exported %d goods rows x %lld columns to %s (%lld KB)\n", q.recordCount(), columns.size(), suffix,
                    QFileInfo(fileName).size() / 1024);
        printFigure(qPrintable(QStringLiteral("export to %1 (cpu)").arg(suffix)), bare, project);
    }
    q.close();

    // Importing into an emptied catalogue: reading the sheet (no bare way beside
    // the reader), then checking and writing every row, against the bare replay
    // of the statements they ran (recorded on one copy, replayed on another).
    for (const char* suffix : {".xlsx", ".csv"}) {
        c.execute("delete from goods");
        const QString fileName = file.filePath(QStringLiteral("goods") + QLatin1String(suffix));
        double cpu = cpuMs();
        const QList<SheetRow> sheet = SheetReader::read(fileName);
        const double read = cpuSince(cpu);
        db::Connection recording, bareCopy;
        file.openTwin(c, recording);
        file.openTwin(c, bareCopy);
        std::vector<bench::StartedStatement> statements;
        {
            bench::StatementLog log(recording.handle());
            SheetImport::write(recording, SheetImport::check(recording, SheetImport::Kind::Goods, sheet, false), true);
            statements = log.started();
        }
        cpu = cpuMs();
        bench::replay(bareCopy.handle(), statements);
        const double bare = cpuSince(cpu);
        sameFigures(recording, bareCopy, "select count(*),sum(valu_out),max(gods_name) from goods");
        cpu = cpuMs();
        const SheetImport::Checked checked = SheetImport::check(c, SheetImport::Kind::Goods, sheet, false);
        const double check = cpuSince(cpu);
        if (!checked.clean()) {
            std::printf("import from %s refused: %lld problems\n", suffix, checked.problems.size());
            return 1;
        }
        SheetImport::write(c, checked, true);   // 款式, 分类 … join their lists
        const double project = cpuSince(cpu);
        std::printf("import %lld goods from %s: read %.0f ms, check %.0f ms, write %.0f ms (cpu)\n", checked.rows.size(),
                    suffix, read, check, project - check);
        printFigure(qPrintable(QStringLiteral("import from %1, read (cpu)").arg(suffix)), std::nan(""), read);
        printFigure(qPrintable(QStringLiteral("import from %1, check + write (cpu)").arg(suffix)), bare, project);
    }
    return 0;
}
