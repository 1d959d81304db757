#include "app/WindowCatalog.h"

#include "masterdata/TFrmCompany.h"
#include "masterdata/TFrmGoods.h"
#include "masterdata/TFrmEmployee.h"
#include "masterdata/TFrmPower.h"
#include "masterdata/TFrmUser.h"
#include "maintenance/TFrmBackUp.h"
#include "maintenance/TFrmRestore.h"

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
    return factory ? factory(parent) : nullptr;
}

void registerAll()
{
    // goods and companies
    add<TFrmCompany>("TFrmCompany");
    add<TFrmGoods>("TFrmGoods");
    // employees, settings and rights
    add<TFrmEmployee>("TFrmEmployee");
    add<TFrmUser>("TFrmUser");
    add<TFrmPower>("TFrmPower");
    // backup and restore
    add<TFrmBackUp>("TFrmBackUp");
    add<TFrmRestore>("TFrmRestore");
}

} // namespace WindowCatalog
