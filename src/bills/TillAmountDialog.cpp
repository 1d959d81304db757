#include "bills/TillAmountDialog.h"

#include "core/DataHelpers.h"
#include "shop/Amounts.h"
#include "ui/Dialogs.h"
#include "ui/WindowParts.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TillAmountDialog::TillAmountDialog(const QString& title, const QString& prompt, double initial, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    m_box = WindowParts::named<QLineEdit>("amountBox", this);
    m_box->setText(DataHelpers::amountText(initial));
    m_box->selectAll();
    QFont large = m_box->font();
    large.setPointSize(large.pointSize() * 2);
    m_box->setFont(large);
    m_reason = WindowParts::named<QLabel>("reasonLabel", this);
    m_reason->setStyleSheet(QStringLiteral("color:#c62828"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(WindowParts::caption(prompt, m_box, this));
    column->addWidget(m_box);
    column->addWidget(m_reason);
    column->addWidget(new QLabel(QStringLiteral("Enter 确定　Esc 取消"), this));
    connect(m_box, &QLineEdit::returnPressed, this, &TillAmountDialog::accept);
}

void TillAmountDialog::accept()
{
    bool ok = false;
    const double value = m_box->text().trimmed().toDouble(&ok);
    if (!ok || value < 0 || !shop::amounts::fits(value)) {
        m_reason->setText(QStringLiteral("“%1”不是可用的数").arg(m_box->text().trimmed()));
        m_box->selectAll();
        return;
    }
    m_value = value;
    QDialog::accept();
}

std::optional<double> TillAmountDialog::ask(QWidget* parent, const QString& title, const QString& prompt, double initial)
{
    TillAmountDialog dialog(title, prompt, initial, parent);
    if (ui::dialogs().exec(&dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.value();
}
