#include "reports/ReportLayouts.h"

#include "reports/AnalysisLayout.h"
#include "reports/TQageing.h"
#include "reports/TQcompdetail.h"

QList<QPointer<ReportLayout>>& ReportLayouts::layouts()
{
    static QList<QPointer<ReportLayout>> created;
    return created;
}

void ReportLayouts::createAll(QObject* owner)
{
    for (const QPointer<ReportLayout>& old : layouts())
        delete old.data();
    layouts() = {new TQRoutlist(owner), new TQgath(owner),    new TQincost(owner),    new TQRiss(owner),
                 new TQRinstat(owner),  new TQoutcost(owner), new TRptstore(owner),   new TQRpd(owner),
                 new TQpay(owner),      new TQRcheck(owner),  new TQRout(owner),      new TQRin(owner),
                 new TQalarm(owner),    new TQRoutSortG(owner), new TQRoutSortC(owner),
                 new TQoperlog(owner),  new TQageing(owner),   new TQcompdetail(owner),
                 new LabelLayout(owner), new AnalysisLayout(owner)};
}

QList<ReportLayout*> ReportLayouts::all()
{
    QList<ReportLayout*> alive;
    for (const QPointer<ReportLayout>& layout : layouts())
        if (layout)
            alive.append(layout.data());
    return alive;
}
