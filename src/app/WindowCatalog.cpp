#include "app/WindowCatalog.h"

#include <QDialog>

#include "bills/TFrmIn.h"
#include "bills/TFrmInFind.h"
#include "bills/TFrmOut.h"
#include "bills/TFrmTill.h"
#include "statistics/TFrmDayEnd.h"
#include "bills/TFrmOutFind.h"
#include "bills/TFrmReturnIn.h"
#include "bills/TFrmReturnout.h"
#include "accounts/TFrmAgeing.h"
#include "accounts/TFrmCompDetail.h"
#include "accounts/TFrmGath.h"
#include "accounts/TFrmIncost.h"
#include "accounts/TFrmOutcost.h"
#include "accounts/TFrmPay.h"
#include "masterdata/TFrmCompany.h"
#include "masterdata/TFrmGoods.h"
#include "masterdata/TFrmMarkdown.h"
#include "masterdata/TFrmMember.h"
#include "masterdata/TFrmImport.h"
#include "masterdata/TFrmEmployee.h"
#include "masterdata/TFrmPower.h"
#include "masterdata/TFrmUser.h"
#include "warehouse/TFrmAlarm.h"
#include "warehouse/TFrmMios.h"
#include "warehouse/TFrmStorChg.h"
#include "warehouse/TFrmStorChk.h"
#include "warehouse/TFrmStorIni.h"
#include "warehouse/TFrmStore.h"
// statistics
#include "statistics/TFrmInlist.h"
#include "statistics/TFrmMarkdownEffect.h"
#include "statistics/TFrmMemberRank.h"
#include "statistics/TFrmOutList.h"
#include "statistics/TFrmOutSortC.h"
#include "statistics/TFrmOutSortG.h"
#include "statistics/TFrmSizeShare.h"
#include "statistics/TFrmSlowStock.h"
#include "statistics/TFrmStyleAnalysis.h"
#include "statistics/TFrmTurnover.h"
#include "maintenance/TFrmBackUp.h"
#include "maintenance/TFrmRestore.h"
#include "maintenance/TFrmOperLog.h"

#include <QHash>

namespace WindowCatalog {

namespace {
QHash<QString, Factory>& factories()
{
    static QHash<QString, Factory> all;
    return all;
}

template <typename Window>
void add(const char* className)
{
    WindowCatalog::add(QString::fromLatin1(className), [](QWidget* parent) { return new Window(parent); });
}
} // namespace

void add(const QString& className, Factory factory)
{
    factories().insert(className, std::move(factory));
}

QDialog* create(const QString& className, QWidget* parent)
{
    const Factory factory = factories().value(className);
    QDialog* window = factory ? factory(parent) : nullptr;
    // One class may serve several entries (应收账龄 and 应付账龄): the guide finds each by its entry.
    if (window)
        window->setProperty(catalogNameProperty, className);
    return window;
}

QString nameOf(const QWidget* window)
{
    const QString entry = window->property(catalogNameProperty).toString();
    return entry.isEmpty() ? QString::fromLatin1(window->metaObject()->className()) : entry;
}

QStringList classNames()
{
    QStringList names = factories().keys();
    names.sort();
    return names;
}

void registerAll()
{
    // goods and companies
    add<TFrmCompany>("TFrmCompany");
    add<TFrmGoods>("TFrmGoods");
    // members and markdowns
    add<TFrmMember>("TFrmMember");
    add<TFrmMarkdown>("TFrmMarkdown");
    // employees, settings and rights
    add<TFrmEmployee>("TFrmEmployee");
    add<TFrmUser>("TFrmUser");
    add<TFrmPower>("TFrmPower");
    add<TFrmImport>("TFrmImport");
    // stock bills and their finders
    add<TFrmIn>("TFrmIn");
    add<TFrmOut>("TFrmOut");
    add<TFrmTill>("TFrmTill");
    add<TFrmDayEnd>("TFrmDayEnd");
    add<TFrmReturnIn>("TFrmReturnIn");
    add<TFrmReturnout>("TFrmReturnout");
    add<TFrmInFind>("TFrmInFind");
    add<TFrmOutFind>("TFrmOutFind");
    // warehouse
    add<TFrmStorIni>("TFrmStorIni");
    add<TFrmStore>("TFrmStore");
    add<TFrmAlarm>("TFrmAlarm");
    add<TFrmStorChg>("TFrmStorChg");
    add<TFrmStorChk>("TFrmStorChk");
    add<TFrmMios>("TFrmMios");
    // receipts, payments and statements
    add<TFrmGath>("TFrmGath");
    add<TFrmPay>("TFrmPay");
    add<TFrmIncost>("TFrmIncost");
    add<TFrmOutcost>("TFrmOutcost");
    add(QStringLiteral("TFrmGathAge"), [](QWidget* parent) { return new TFrmAgeing(Receivables::Side::Receivable, parent); });
    add(QStringLiteral("TFrmPayAge"), [](QWidget* parent) { return new TFrmAgeing(Receivables::Side::Payable, parent); });
    add<TFrmCompDetail>("TFrmCompDetail");
    // statistics
    add<TFrmInlist>("TFrmInlist");
    add<TFrmOutList>("TFrmOutList");
    add<TFrmOutSortG>("TFrmOutSortG");
    add<TFrmOutSortC>("TFrmOutSortC");
    add<TFrmStyleAnalysis>("TFrmStyleAnalysis");
    add<TFrmSizeShare>("TFrmSizeShare");
    add<TFrmSlowStock>("TFrmSlowStock");
    add<TFrmTurnover>("TFrmTurnover");
    add<TFrmMemberRank>("TFrmMemberRank");
    add<TFrmMarkdownEffect>("TFrmMarkdownEffect");
    // backup and restore
    add<TFrmBackUp>("TFrmBackUp");
    add<TFrmRestore>("TFrmRestore");
    // the change log
    add<TFrmOperLog>("TFrmOperLog");
}

} // namespace WindowCatalog
