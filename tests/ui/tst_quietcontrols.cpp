// The guard that keeps a dataset's views still: quiet while any guard lives,
// told once when the last one ends, also when the work throws.
#include "TestSupport.h"

#include "db/Dataset.h"
#include "ui/DatasetModel.h"
#include "ui/QuietControls.h"

#include <QSignalSpy>
#include <QtTest>

#include <stdexcept>

class TestQuietControls : public QObject {
    Q_OBJECT

private slots:
    void viewsHearNothingUntilTheLastGuardEnds();
    void aThrowReleasesTheViews();
};

namespace {

db::Dataset* threeCompanies(TestApp& app)
{
    for (int i = 1; i <= 3; ++i)
        app.exec("insert into company(comp_code, comp_name) values(:p1, :p2)",
                 {QString("C%1").arg(i), QString("公司%1").arg(i)});
    db::Dataset* companies = app.dataModule().CompanyQ;
    companies->open();
    return companies;
}

} // namespace

void TestQuietControls::viewsHearNothingUntilTheLastGuardEnds()
{
    TestApp app;
    db::Dataset* companies = threeCompanies(app);
    ui::DatasetModel model(companies);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    {
        const ui::QuietControls outer(*companies);
        {
            const ui::QuietControls inner(*companies);
            companies->moveTo(1);
            companies->remove();
        }
        // The outer guard still holds: the view keeps the rows it knows.
        QVERIFY(companies->controlsDisabled());
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(resets.size(), 0);
    }
    QVERIFY(!companies->controlsDisabled());
    QCOMPARE(resets.size(), 1);
    QCOMPARE(model.rowCount(), 2);
}

void TestQuietControls::aThrowReleasesTheViews()
{
    TestApp app;
    db::Dataset* companies = threeCompanies(app);
    ui::DatasetModel model(companies);
    try {
        const ui::QuietControls quiet(*companies);
        companies->remove();
        throw std::runtime_error("预览失败");
    } catch (const std::runtime_error&) {
    }
    QVERIFY(!companies->controlsDisabled());
    QCOMPARE(model.rowCount(), 2);
}

QTEST_MAIN(TestQuietControls)
#include "tst_quietcontrols.moc"
