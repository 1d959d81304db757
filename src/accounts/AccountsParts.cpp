#include "accounts/AccountsParts.h"

#include "reports/ReportLayout.h"

#include "core/DataHelpers.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "ui/DbGrid.h"
#include "ui/QuietControls.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>

namespace AccountsParts {

double amountOf(const QLineEdit* box, bool* ok)
{
    const QString text = box->text().trimmed();
    double value = QLocale().toDouble(text, ok);
    if (!*ok)
        value = QLocale::c().toDouble(text, ok);
    return *ok ? value : 0.0;
}

QDateEdit* makeDatePicker(const char* name, const QDate& date, QWidget* parent)
{
    auto* picker = new QDateEdit(date, parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    picker->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    picker->setMinimumWidth(120);
    return picker;
}

void addListColumns(ui::DbGrid* grid, const QString& verb)
{
    grid->addColumn(QStringLiteral("bill_no"), QStringLiteral("流水号"), 110);
    grid->addColumn(QStringLiteral("bill_date"), QStringLiteral("开单日期"), 80);
    grid->addColumn(QStringLiteral("oper_name"), QStringLiteral("开单人"), 60);
    grid->addColumn(QStringLiteral("comp_code"), QStringLiteral("公司编码"), 70);
    grid->addColumn(QStringLiteral("comp_name"), QStringLiteral("公司名称"), 150);
    grid->addColumn(QStringLiteral("shou_tota"), QStringLiteral("应%1款").arg(verb), 80);
    grid->addColumn(QStringLiteral("fact_tota"), QStringLiteral("实%1款").arg(verb), 80);
    grid->addColumn(QStringLiteral("margin"), QStringLiteral("欠%1款").arg(verb), 80);
}

void addMarginHook(db::Dataset& list, QObject* owner)
{
    list.addHook(db::Dataset::Hook::Calculate, owner, [](db::Dataset& d) {
        d.setCalculated(QStringLiteral("margin"), d.number(QStringLiteral("shou_tota")) - d.number(QStringLiteral("fact_tota")));
    });
}

void showTotals(const Settlement::Totals& totals, QLineEdit* due, QLineEdit* paid, QLineEdit* owing)
{
    due->setText(DataHelpers::amountText(totals.due));
    paid->setText(DataHelpers::amountText(totals.paid));
    owing->setText(DataHelpers::amountText(totals.owing()));
}

void fillCompanyLists(QComboBox* code, QComboBox* name)
{
    DataHelpers::fillCombo(QStringLiteral("company"), QStringLiteral("comp_code"), code);
    DataHelpers::fillCombo(QStringLiteral("company"), QStringLiteral("comp_name"), name);
}

void setTextQuietly(QComboBox* box, const QString& text)
{
    const QSignalBlocker blocker(box);
    box->setEditText(text);
}

void showNameOfCode(QComboBox* code, QComboBox* name)
{
    if (code->currentText().trimmed().isEmpty())
        return;
    setTextQuietly(name, QString());
    setTextQuietly(name, DataHelpers::lookup(QStringLiteral("company"), QStringLiteral("comp_code"),
                                             code->currentText(), QStringLiteral("comp_name")));
}

void showCodeOfName(QComboBox* code, QComboBox* name)
{
    if (name->currentText().trimmed().isEmpty())
        return;
    setTextQuietly(code, QString());
    setTextQuietly(code, DataHelpers::lookup(QStringLiteral("company"), QStringLiteral("comp_name"),
                                             name->currentText(), QStringLiteral("comp_code")));
}

void previewList(ReportLayout& layout, db::Dataset* list, QWidget* parent)
{
    const ui::QuietControls quiet(*list);
    layout.preview(parent);
}

} // namespace AccountsParts
