#pragma once

// The report layouts of the program, created once after the data module
// and kept until the program ends.
//
// At start-up, after the data module exists:
//     ReportLayouts::createAll(mainWindow);        // owner of the layouts
//
// A window prints in this order:
//     TQRin& report = ReportLayouts::get<TQRin>();
//     // 1. bring the master dataset (here InGoodsQ) to the rows to print
//     // 2. put the values into the named labels, change the paper where needed
//     report.setLabelText(QStringLiteral("QRLabel1"), companyName + QStringLiteral("进货单"));
//     report.setLabelAlignment(QStringLiteral("QRLabel1"), Qt::AlignHCenter);
//     // (TQRout only) report.setCustomPaper(width, length); or report.setPaperA4();
//     // 3. keep bound grids still while the report reads the rows
//     const ui::QuietControls quiet(*dataModule().InGoodsQ);
//     report.preview(this);                       // modal; returns when closed
//
// setLabelText/setLabelAlignment throw std::out_of_range for a name the layout
// does not have; each layout's header lists its named labels.

#include "reports/LabelLayout.h"
#include "reports/ReportLayout.h"
#include "reports/TQRcheck.h"
#include "reports/TQRin.h"
#include "reports/TQRinstat.h"
#include "reports/TQRiss.h"
#include "reports/TQRout.h"
#include "reports/TQRoutSortC.h"
#include "reports/TQRoutSortG.h"
#include "reports/TQRoutlist.h"
#include "reports/TQRpd.h"
#include "reports/TQalarm.h"
#include "reports/TQgath.h"
#include "reports/TQincost.h"
#include "reports/TQoperlog.h"
#include "reports/TQoutcost.h"
#include "reports/TQpay.h"
#include "reports/TRptstore.h"

#include <QList>
#include <QPointer>
#include <stdexcept>

class ReportLayouts {
public:
    // Creates the layouts as children of owner; replaces any created before.
    static void createAll(QObject* owner);
    // The layouts in the order of creation (those still alive).
    static QList<ReportLayout*> all();

    template <class T>
    static T& get()
    {
        for (ReportLayout* layout : all())
            if (T* typed = qobject_cast<T*>(layout))
                return *typed;
        throw std::logic_error(std::string("report layout not created: ") + T::staticMetaObject.className());
    }

private:
    static QList<QPointer<ReportLayout>>& layouts();
};
