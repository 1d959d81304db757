#pragma once

#include "db/Connection.h"
#include "db/Dataset.h"

#include <QObject>

// The shared data module: the one connection and the named datasets every
// window takes, fills with its statement, opens and binds its controls to.
class TFrmDataMod : public QObject {
    Q_OBJECT
public:
    explicit TFrmDataMod(QObject* parent = nullptr);
    ~TFrmDataMod() override;

    static TFrmDataMod* instance();

    // A dataset by its name, or nullptr.
    db::Dataset* dataset(const QString& name) const;
    QList<db::Dataset*> datasets() const { return m_datasets; }
    // Closes every dataset (before the connection closes, as a restore does).
    void closeAll();

    db::Connection AdoConn;

    db::Dataset* TempQ;
    db::Dataset* EmployeeQ;
    db::Dataset* CompanyQ;
    db::Dataset* MemberQ;
    db::Dataset* MarkdownQ;
    db::Dataset* GoodsQ;
    db::Dataset* GoodsFindQ;
    db::Dataset* InFindQ;
    db::Dataset* InMainQ;
    db::Dataset* InGoodsQ;
    db::Dataset* StoreQ;
    db::Dataset* OutMainQ;
    db::Dataset* OutGoodsQ;
    db::Dataset* OutTempQ;
    db::Dataset* OutFindQ;
    db::Dataset* OutListQ;
    db::Dataset* InListQ;
    db::Dataset* OutSortQ;
    db::Dataset* OutSortCQ;
    db::Dataset* ChektempQ;
    db::Dataset* StoreiniQ;
    db::Dataset* AlarmQ;
    db::Dataset* MiosQ;
    db::Dataset* MiostempQ;
    db::Dataset* GathQ;
    db::Dataset* PayQ;
    db::Dataset* GathMainQ;
    db::Dataset* PayMainQ;
    db::Dataset* PowerQ;
    db::Dataset* UserQ;
    db::Dataset* FeeDefiQ;
    db::Dataset* MoneDefQ;
    db::Dataset* TypeDefiQ;
    db::Dataset* KindDefiQ;
    db::Dataset* SpecDefiQ;
    db::Dataset* ColorDefiQ;
    db::Dataset* SizeDefiQ;
    db::Dataset* UnitDefiQ;
    db::Dataset* ProdDefiQ;
    db::Dataset* OperLogQ;

private:
    db::Dataset* make(const QString& name, const QString& sql, db::Dataset::Locking locking);
    void addGoodsLookups(db::Dataset* dataset);
    void addCompanyName(db::Dataset* dataset);
    QList<db::Dataset*> m_datasets;
};

// The data module of the running program.
inline TFrmDataMod& dataModule()
{
    return *TFrmDataMod::instance();
}
