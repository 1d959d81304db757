// Times exporting 100,000 goods rows to .xlsx and CSV and importing them back
// into an emptied catalogue (reading, checking every row, writing in one
// transaction). Wall times, as the user waits for them, and CPU times of the
// thread, steadier on a shared machine.
#include "BenchClock.h"
#include "core/DatabaseFile.h"
#include "core/SheetReader.h"
#include "core/SheetWriter.h"
#include "core/TFrmDataMod.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "shop/SheetImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

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

double msSince(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double cpuSince(double start)
{
    return cpuMs() - start;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    TFrmDataMod data;
    db::Connection& c = data.AdoConn;
    c.open(dir.filePath("bench.mdb"), DatabaseFile::password, true);
    db::Schema::create(c);
    build(c, goods);

    db::Dataset& q = *data.GoodsQ;
    q.open();
    const QList<std::pair<QString, QString>> shown = {
        {"gods_code", "编码"},     {"gods_name", "名称"},     {"gods_spec", "品牌"},     {"gods_type", "款式"},
        {"gods_kind", "分类"},     {"gods_color", "颜色"},    {"gods_size", "尺码"},     {"gods_unit", "单位"},
        {"batch_out", "批发价"},   {"valu_in", "建议进价"},   {"valu_out", "建议售价"},  {"max_amou", "库存上限"},
        {"min_amou", "库存下限"},  {"gods_note", "备注"}};
    QList<SheetColumn> columns;
    QList<int> fields;
    for (const auto& [field, caption] : shown) {
        const db::Field& f = q.field(field);
        columns.append({caption, f.type == db::FieldType::Double ? SheetColumn::Kind::Number : SheetColumn::Kind::Text,
                        f.displayFormat, 10});
        fields.append(q.fieldIndex(field));
    }
    const auto value = [&](int row, int column) { return q.value(row, fields[column]); };

    for (const char* suffix : {".xlsx", ".csv"}) {
        const QString fileName = dir.filePath(QStringLiteral("goods") + QLatin1String(suffix));
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuMs();
        SheetWriter::write(fileName, "货品资料", columns, q.recordCount(), value);
        std::printf("export %d rows x %lld columns to %s: wall %.0f ms, cpu %.0f ms (%lld KB)\n", q.recordCount(),
                    columns.size(), suffix, msSince(timer), cpuSince(cpu), QFileInfo(fileName).size() / 1024);
    }
    q.close();

    for (const char* suffix : {".xlsx", ".csv"}) {
        c.execute("delete from goods");
        const QString fileName = dir.filePath(QStringLiteral("goods") + QLatin1String(suffix));
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuMs();
        const QList<SheetRow> sheet = SheetReader::read(fileName);
        const double read = cpuSince(cpu);
        const SheetImport::Checked checked = SheetImport::check(c, SheetImport::Kind::Goods, sheet, false);
        const double checkedAt = cpuSince(cpu);
        if (!checked.clean()) {
            std::printf("import from %s refused: %lld problems\n", suffix, checked.problems.size());
            return 1;
        }
        SheetImport::write(c, checked, true);   // 款式, 分类 … join their lists
        std::printf("import %lld goods from %s: cpu read %.0f ms, check %.0f ms, write %.0f ms, total %.0f ms; "
                    "wall %.0f ms\n",
                    checked.rows.size(), suffix, read, checkedAt - read, cpuSince(cpu) - checkedAt, cpuSince(cpu),
                    msSince(timer));
    }
    return 0;
}
