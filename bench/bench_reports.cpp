// Times a 10,000-row stock report: pagination, painting a page, writing the PDF,
// and the preview up to its first page on screen, then its last.
// Run from the build tree: ./bench/bench_reports
#include "core/AppPaths.h"
#include "core/DatabaseFile.h"
#include "core/TFrmDataMod.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "reports/ReportDocument.h"
#include "reports/ReportLayouts.h"
#include "reports/ReportPageView.h"
#include "reports/ReportPreview.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Runs the event loop until the preview has painted the page; false on time-out.
bool waitForPage(ReportPageView& view, int page)
{
    bool painted = false;
    const QMetaObject::Connection connection
        = QObject::connect(&view, &ReportPageView::pageRendered, [&](int p) { painted = painted || p == page; });
    const QDeadlineTimer deadline(30000);
    while (!painted && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QObject::disconnect(connection);
    return painted;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rows = 10000;

    QTemporaryDir dir;
    AppPaths::setDirectory(dir.path());
    DatabaseFile::createIfMissing(AppPaths::databaseFile());
    TFrmDataMod dm;
    dm.AdoConn.open(AppPaths::databaseFile(), DatabaseFile::password);
    {
        db::Transaction transaction(dm.AdoConn);
        db::Statement goods(dm.AdoConn, "insert into goods (gods_code, gods_name, gods_kind, gods_spec, gods_type, "
                                        "gods_color, gods_size, gods_unit) values (:code, :name, '衬衫', '澜禾', "
                                        "'修身', '白色', 'XL', '件')");
        db::Statement stock(dm.AdoConn, "insert into storemain (gods_code, gods_amou, cost_pric) values (:code, :amou, :pric)");
        for (int i = 0; i < rows; ++i) {
            const QString code = QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0'));
            goods.bind("code", code);
            goods.bind("name", QStringLiteral("男士休闲衬衫%1号").arg(i));
            goods.execute();
            goods.reset();
            stock.bind("code", code);
            stock.bind("amou", i % 500 + 0.5);
            stock.bind("pric", 45.25 + i % 7);
            stock.execute();
            stock.reset();
        }
        transaction.commit();
    }
    QObject owner;
    dm.StoreQ->addHook(db::Dataset::Hook::Calculate, &owner, [](db::Dataset& d) {
        d.setCalculated("cost_tota", d.number("gods_amou") * d.number("cost_pric"));
    });
    dm.StoreQ->open();
    ReportLayouts::createAll(&owner);
    TRptstore& report = ReportLayouts::get<TRptstore>();

    QElapsedTimer timer;
    timer.start();
    const ReportDocument document = report.prepare();
    const qint64 paginate = timer.nsecsElapsed() / 1000;

    timer.restart();
    QImage first = document.toImage(0, 96);
    const qint64 firstPage = timer.elapsed();

    const QString pdf = dir.filePath(QStringLiteral("stock.pdf"));
    timer.restart();
    report.writePdf(pdf);
    const qint64 writePdf = timer.elapsed();

    timer.restart();
    ReportPreview preview(report);
    preview.resize(1100, 850);
    preview.show();
    const bool firstShown = waitForPage(*preview.pageView(), 1);
    const qint64 previewFirst = timer.elapsed();

    timer.restart();
    preview.lastPage();
    const bool lastShown = waitForPage(*preview.pageView(), preview.pageCount());
    const qint64 previewLast = timer.elapsed();

    std::printf("rows %d, pages %d\n", rows, document.pageCount());
    std::printf("paginate          %8.3f ms\n", paginate / 1000.0);
    std::printf("paint first page  %8lld ms (image, 96 dpi)\n", static_cast<long long>(firstPage));
    std::printf("write PDF         %8lld ms (%lld KiB)\n", static_cast<long long>(writePdf),
                static_cast<long long>(QFileInfo(pdf).size() / 1024));
    std::printf("preview page 1    %8lld ms (opened, shown, first page painted)\n",
                static_cast<long long>(previewFirst));
    std::printf("preview last page %8lld ms (moved there and painted)\n", static_cast<long long>(previewLast));
    return first.isNull() || !firstShown || !lastShown ? 1 : 0;
}
