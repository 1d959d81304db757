// The window catalogue: every entry the main window can open makes the window
// of its class, with its caption, and knows the entry it came from; its
// command buttons are spelt alike in every window.
#include "TestSupport.h"

#include "app/WindowCatalog.h"

#include <QAbstractButton>
#include <QDialog>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

struct Entry {
    const char* name;
    const char* windowClass;
    const char* caption;
};

const Entry entries[] = {
    {"TFrmAlarm", "TFrmAlarm", "库存报警"},
    {"TFrmBackUp", "TFrmBackUp", "数据库备份"},
    {"TFrmCompDetail", "TFrmCompDetail", "客户往来明细"},
    {"TFrmCompany", "TFrmCompany", "客户资料"},
    {"TFrmDayEnd", "TFrmDayEnd", "日结"},
    {"TFrmEmployee", "TFrmEmployee", "员工资料"},
    {"TFrmGath", "TFrmGath", "收款单"},
    {"TFrmGathAge", "TFrmAgeing", "应收账龄"},
    {"TFrmGoods", "TFrmGoods", "货品资料"},
    {"TFrmImport", "TFrmImport", "导入"},
    {"TFrmIn", "TFrmIn", "进货管理"},
    {"TFrmInFind", "TFrmInFind", "单据查询"},
    {"TFrmIncost", "TFrmIncost", "进货对帐单"},
    {"TFrmMarkdown", "TFrmMarkdown", "促销折扣"},
    {"TFrmMarkdownEffect", "TFrmMarkdownEffect", "促销效果"},
    {"TFrmMember", "TFrmMember", "会员资料"},
    {"TFrmMemberRank", "TFrmMemberRank", "会员消费排行"},
    {"TFrmInlist", "TFrmInlist", "进货统计"},
    {"TFrmMios", "TFrmMios", "月进销存"},
    {"TFrmOperLog", "TFrmOperLog", "操作日志"},
    {"TFrmOut", "TFrmOut", "销售管理"},
    {"TFrmOutFind", "TFrmOutFind", "出货单查询"},
    {"TFrmOutList", "TFrmOutList", "出货统计"},
    {"TFrmOutSortC", "TFrmOutSortC", "出货排行-按客户"},
    {"TFrmOutSortG", "TFrmOutSortG", "出货排行-按货品"},
    {"TFrmOutcost", "TFrmOutcost", "出货对帐单"},
    {"TFrmPay", "TFrmPay", "付款单"},
    {"TFrmPayAge", "TFrmAgeing", "应付账龄"},
    {"TFrmPower", "TFrmPower", "权限设置"},
    {"TFrmRestore", "TFrmRestore", "数据恢复"},
    {"TFrmReturnIn", "TFrmReturnIn", "顾客退货单"},
    {"TFrmReturnout", "TFrmReturnout", "退货厂商"},
    {"TFrmSizeShare", "TFrmSizeShare", "尺码分布"},
    {"TFrmSlowStock", "TFrmSlowStock", "滞销与库龄"},
    {"TFrmStorChg", "TFrmStorChg", "库存调整"},
    {"TFrmStorChk", "TFrmStorChk", "库存盘点"},
    {"TFrmStorIni", "TFrmStorIni", "库存货品初始化"},
    {"TFrmStore", "TFrmStore", "库存查询"},
    {"TFrmStyleAnalysis", "TFrmStyleAnalysis", "款式分析"},
    {"TFrmTill", "TFrmTill", "零售收银"},
    {"TFrmTurnover", "TFrmTurnover", "周转"},
    {"TFrmUser", "TFrmUser", "基本设置"},
};

} // namespace

class TestWindowCatalog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void listsEveryWindowOnce();
    void entryOpensItsWindow_data();
    void entryOpensItsWindow();
    void commandCaptionsAreSpeltAlike();
};

void TestWindowCatalog::initTestCase()
{
    WindowCatalog::registerAll();
}

void TestWindowCatalog::listsEveryWindowOnce()
{
    QStringList expected;
    for (const Entry& entry : entries)
        expected << QString::fromLatin1(entry.name);
    expected.sort();
    QCOMPARE(WindowCatalog::classNames(), expected);
}

void TestWindowCatalog::entryOpensItsWindow_data()
{
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<QString>("caption");
    for (const Entry& entry : entries)
        QTest::newRow(entry.name) << QString::fromLatin1(entry.windowClass) << QString::fromUtf8(entry.caption);
}

void TestWindowCatalog::entryOpensItsWindow()
{
    QFETCH(QString, windowClass);
    QFETCH(QString, caption);
    TestApp app;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    std::unique_ptr<QDialog> window(WindowCatalog::create(name, nullptr));
    QVERIFY(window);
    QCOMPARE(QString::fromLatin1(window->metaObject()->className()), windowClass);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(WindowCatalog::nameOf(window.get()), name);
}

// A command word on a button has its key in brackets ("保存[&S]"), and a window
// is left by "退出", never "关闭".
void TestWindowCatalog::commandCaptionsAreSpeltAlike()
{
    TestApp app;
    static const QRegularExpression command(QStringLiteral("^(新增|修改|删除|查询|打印|保存|取消|退出|关闭)(.*)$"));
    static const QRegularExpression bracketedKey(QStringLiteral("^\\[&[A-Z]\\]$"));
    QStringList drifted;
    for (const Entry& entry : entries) {
        std::unique_ptr<QDialog> window(WindowCatalog::create(QString::fromLatin1(entry.name), nullptr));
        QVERIFY(window);
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            const QRegularExpressionMatch m = command.match(button->text());
            if (!m.hasMatch() || !(m.captured(2).isEmpty() || m.captured(2).startsWith(u'&') || m.captured(2).startsWith(u'[')))
                continue;
            if (m.captured(1) == QStringLiteral("关闭") || !bracketedKey.match(m.captured(2)).hasMatch())
                drifted << QStringLiteral("%1: %2").arg(QString::fromLatin1(entry.name), button->text());
        }
    }
    QVERIFY2(drifted.isEmpty(), qPrintable(drifted.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestWindowCatalog)
#include "tst_windowcatalog.moc"
