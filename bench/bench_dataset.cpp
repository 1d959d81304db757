// Times a year's worth of bill lines in the dataset, with goods look-ups, each
// against a bare loop in the same run: opening against stepping the same
// statement into plain structs, look-ups against a plain hash map, and the
// memory it all takes. Repeats every measurement and reports the median.
#include "BenchClock.h"
#include "BenchDatabase.h"
#include "BenchFigure.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "ui/DbGrid.h"

#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <ctime>
#include <malloc.h>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int repeats = 5;

// Wall and CPU time of one run of a piece of work.
struct Timing {
    std::vector<double> wall, cpu;
    template <typename Work>
    void run(Work work)
    {
        QElapsedTimer timer;
        timer.start();
        const double start = cpuMs();
        work();
        cpu.push_back(cpuMs() - start);
        wall.push_back(timer.nsecsElapsed() / 1e6);
    }
    double wallMs() const { return median(wall); }
    double cpuMsMedian() const { return median(cpu); }
};

// Peak resident memory so far (VmHWM), in MB.
long peakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

// Starts a new peak from the present resident size.
void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

void build(db::Connection& c, int goods, int lines)
{
    db::Transaction t(c);
    db::Statement g(c, "insert into goods (gods_code, gods_name, gods_spec, gods_type, gods_kind, gods_unit, "
                       "gods_color, gods_size) values (:c, :n, '品牌', '款式', '分类', '件', '红', 'XL')");
    for (int i = 0; i < goods; ++i) {
        g.bind("c", QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')));
        g.bind("n", QStringLiteral("货品%1").arg(i));
        g.execute();
        g.reset();
    }
    db::Statement l(c, "insert into ingoods (bill_no, gods_code, sub_amou, unit_pric, remark) values (:b, :c, :a, :p, null)");
    for (int i = 0; i < lines; ++i) {
        l.bind("b", QStringLiteral("2026%1").arg(i / 5, 10, 10, QLatin1Char('0')));
        l.bind("c", QStringLiteral("G%1").arg(qint64(i) * 7919 % goods, 6, 10, QLatin1Char('0')));
        l.bind("a", double(i % 13 + 1));
        l.bind("p", 10.5 + i % 100);
        l.execute();
        l.reset();
    }
    t.commit();
}

struct Line {
    long long rowId, id;
    std::string bill, code;
    double amount, price;
    std::optional<std::string> remark;
};

std::string text(sqlite3_stmt* s, int column)
{
    return {reinterpret_cast<const char*>(sqlite3_column_text(s, column)), size_t(sqlite3_column_bytes(s, column))};
}

// Steps the statement the dataset runs into plain structs.
std::vector<Line> bareLoop(db::Connection& c)
{
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(c.handle(), "select ingoods.rowid as __rowid__, * from ingoods", -1, &s, nullptr);
    std::vector<Line> rows;
    while (sqlite3_step(s) == SQLITE_ROW) {
        Line line;
        line.rowId = sqlite3_column_int64(s, 0);
        line.id = sqlite3_column_int64(s, 1);
        line.bill = text(s, 2);
        line.code = text(s, 3);
        line.amount = sqlite3_column_double(s, 4);
        line.price = sqlite3_column_double(s, 5);
        if (sqlite3_column_type(s, 6) != SQLITE_NULL)
            line.remark = text(s, 6);
        rows.push_back(std::move(line));
    }
    sqlite3_finalize(s);
    return rows;
}

const char* const lookupColumns[] = {"gods_name", "gods_spec", "gods_type", "gods_kind",
                                     "gods_unit", "gods_color", "gods_size"};

// The bare contender for painting: a plain model of as many rows and columns,
// holding the texts, alignments and titles the grid showed for the rows it showed.
class PlainTexts : public QAbstractTableModel {
public:
    explicit PlainTexts(const QAbstractItemModel& shown) : m_rows(shown.rowCount())
    {
        for (int column = 0; column < shown.columnCount(); ++column) {
            m_titles << shown.headerData(column, Qt::Horizontal).toString();
            m_alignments << shown.data(shown.index(0, column), Qt::TextAlignmentRole);
        }
    }
    void take(const QAbstractItemModel& shown, int top, int count)
    {
        for (int row = top; row < top + count && row < m_rows; ++row)
            for (int column = 0; column < m_titles.size(); ++column)
                m_texts[row] << shown.data(shown.index(row, column)).toString();
    }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_titles.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return m_texts.value(index.row()).value(index.column());
        if (role == Qt::TextAlignmentRole)
            return m_alignments.value(index.column());
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_titles.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    int m_rows;
    QStringList m_titles;
    QVariantList m_alignments;
    QHash<int, QStringList> m_texts;
};

// Paints a screen of rows at places spread over the rows, timing each paint;
// `painted` is told the top row and the number of rows of each screen.
template <typename Painted>
void paintScreens(QTableView& view, int rows, Timing& paint, Painted painted)
{
    view.resize(1280, 40 * view.verticalHeader()->defaultSectionSize() + view.horizontalHeader()->height() + 4);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QApplication::processEvents();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    view.render(&image);   // the first paint lays the view out
    for (int i = 0; i < 20; ++i) {
        view.verticalScrollBar()->setValue(int(qint64(rows) * i / 20 + i * 7));
        QApplication::processEvents();
        paint.run([&] { view.render(&image); });
        painted(view.rowAt(0), view.rowAt(view.viewport()->height() - 1) - view.rowAt(0) + 1);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int goods = argc > 1 ? atoi(argv[1]) : 100000;
    const int lines = argc > 2 ? atoi(argv[2]) : 1000000;
    BenchFile file;
    db::Connection c;
    file.open(c);
    QElapsedTimer timer;
    timer.start();
    build(c, goods, lines);
    std::printf("built %d goods and %d bill lines in %.0f ms\n", goods, lines, timer.nsecsElapsed() / 1e6);

    const long buildPeak = peakMemoryMb();
    malloc_trim(0);
    resetPeakMemory();
    size_t bareRows = bareLoop(c).size();   // warms the page cache for both contenders
    const long barePeak = peakMemoryMb();
    malloc_trim(0);
    resetPeakMemory();

    db::Dataset goodsQ(c, "GoodsQ");
    goodsQ.setSql("select * from goods");
    db::Dataset linesQ(c, "InGoodsQ");
    linesQ.setSql("select * from ingoods");
    for (const char* f : {"in_id", "bill_no", "gods_code", "sub_amou", "unit_pric", "remark"})
        linesQ.addField(f);
    for (const char* f : lookupColumns)
        linesQ.addLookupField(f, "gods_code", &goodsQ, "gods_code", f);
    linesQ.open();   // opens its look-up source too

    // --- look-ups, in windows of 100,000 rows: just after the source is reopened
    // (its index is built on the way); just after the lines are reopened (index
    // warm, no key found yet); then again over keys found before.
    const int rows = linesQ.recordCount();
    const int nameField = linesQ.fieldIndex("gods_name");
    std::vector<int> lookupFields;
    for (const char* f : lookupColumns)
        lookupFields.push_back(linesQ.fieldIndex(f));
    Timing cold, warm, again, seven;
    qsizetype resolved = 0, tried = 0;
    const auto lookUp = [&](int from, const std::vector<int>& fields) {
        for (int row = from; row < from + 100000 && row < rows; ++row)
            for (int f : fields) {
                resolved += linesQ.value(row, f).toString().size() > 0;
                ++tried;
            }
    };
    for (int i = 0; i < repeats; ++i) {
        const int from = (i * 100000) % qMax(1, rows - 400000);
        goodsQ.requery();
        cold.run([&] { lookUp(from, {nameField}); });
        linesQ.requery();
        warm.run([&] { lookUp(from + 100000, {nameField}); });
        again.run([&] { lookUp(from + 200000, {nameField}); });
        seven.run([&] { lookUp(from + 300000, lookupFields); });
    }
    // The bare contender: a hash map from code to goods row, probed by each line's
    // code, taking one name, or all seven columns.
    Timing bareLookups, bareSeven;
    size_t bareResolved = 0, bareTried = 0;
    {
        std::unordered_map<std::string, int> goodsByCode;
        std::vector<std::vector<std::string>> columns(std::size(lookupColumns));
        for (int row = 0; row < goodsQ.recordCount(); ++row) {
            goodsByCode.emplace(goodsQ.value(row, goodsQ.fieldIndex("gods_code")).toString().toStdString(), row);
            for (size_t f = 0; f < columns.size(); ++f)
                columns[f].push_back(goodsQ.value(row, goodsQ.fieldIndex(lookupColumns[f])).toString().toStdString());
        }
        std::vector<std::string> lineCodes;
        for (int row = 0; row < 100000 && row < rows; ++row)
            lineCodes.push_back(linesQ.value(row, linesQ.fieldIndex("gods_code")).toString().toStdString());
        const auto probe = [&](size_t fields) {
            for (const std::string& code : lineCodes) {
                const auto it = goodsByCode.find(code);
                for (size_t f = 0; f < fields; ++f) {
                    bareResolved += it != goodsByCode.end() && !columns[f][size_t(it->second)].empty();
                    ++bareTried;
                }
            }
        };
        for (int i = 0; i < repeats; ++i) {
            bareLookups.run([&] { probe(1); });
            bareSeven.run([&] { probe(columns.size()); });
        }
    }

    // --- painting a screen of grid rows at places spread over the dataset, and
    // the same screens of the same texts through a plain model and Qt's own view
    Timing paint, screenTexts, barePaint;
    int shownRows = 0;
    qsizetype textBytes = 0;
    {
        ui::DbGrid grid;
        grid.setDataset(&linesQ);
        QAbstractItemModel* model = grid.model();
        PlainTexts plain(*model);
        paintScreens(grid, rows, paint, [&](int top, int count) {
            shownRows = count;
            plain.take(*model, top, count);
            // The dataset's share of a paint: the texts of the screen's cells.
            screenTexts.run([&] {
                for (int row = top; row < top + count; ++row)
                    for (int column = 0; column < model->columnCount(); ++column)
                        textBytes += model->data(model->index(row, column)).toString().size();
            });
        });
        QTableView bareView;
        bareView.setModel(&plain);
        paintScreens(bareView, rows, barePaint, [](int, int) {});
    }
    const long datasetPeak = peakMemoryMb();

    // --- opening, against the bare loop; alternated so both see the same machine
    Timing bare, open;
    for (int i = 0; i < repeats; ++i) {
        linesQ.close();
        malloc_trim(0);   // the bare loop's rows take the place the dataset's gave back
        bare.run([&] { bareRows = bareLoop(c).size(); });
        open.run([&] { linesQ.open(); });
    }
    Timing goodsOpen;
    for (int i = 0; i < repeats; ++i)
        goodsOpen.run([&] { goodsQ.requery(); });

    std::printf("dataset: %d line rows (bare %zu), goods source %d rows, opened again in %.0f ms\n", rows, bareRows,
                goodsQ.recordCount(), goodsOpen.wallMs());
    // Every line names a goods, so every look-up must find one.
    std::printf("look-ups: %lld of %lld resolved, bare %zu of %zu%s\n", (long long)resolved, (long long)tried,
                bareResolved, bareTried, resolved == tried && bareResolved == bareTried ? "" : "  MISSES: the data is wrong");
    const double infinite = std::numeric_limits<double>::infinity();
    printFigure("open the lines (wall)", bare.wallMs(), open.wallMs(), {1.3});
    printFigure("open the lines (cpu)", bare.cpuMsMedian(), open.cpuMsMedian(), {1.3});
    printFigure("100,000 look-ups, source just reopened", bareLookups.cpuMsMedian(), cold.cpuMsMedian(), {infinite, 40});
    printFigure("100,000 look-ups, warm", bareLookups.cpuMsMedian(), warm.cpuMsMedian(), {1.5});
    printFigure("100,000 look-ups, keys known", bareLookups.cpuMsMedian(), again.cpuMsMedian(), {1.5});
    printFigure("100,000 rows x 7 look-ups", bareSeven.cpuMsMedian(), seven.cpuMsMedian(), {1.5});
    printFigure("paint a screen of grid rows (cpu)", barePaint.cpuMsMedian(), paint.cpuMsMedian(), {infinite, 5});
    std::printf("  (%d rows painted; the cells' texts, %lld characters, take %.2f ms of it)\n", shownRows,
                (long long)textBytes / 20, screenTexts.cpuMsMedian());
    std::printf("peak memory: building the db %ld MB\n", buildPeak);
    printFigure("memory, lines with 7 look-ups + grid", double(barePeak), double(datasetPeak), {1.5}, "MB");
    printFigure("memory, whole bench", std::nan(""),
                double(std::max({buildPeak, barePeak, datasetPeak, peakMemoryMb()})), {infinite, 250}, "MB");
    return 0;
}
