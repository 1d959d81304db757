#include "ui/TFrmCompFind.h"

#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/BusyCursor.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/FieldValue.h"
#include "ui/PickerNote.h"
#include "ui/WindowParts.h"
#include "ui/WindowPlacement.h"

#include <QFormLayout>
#include <QLabel>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TFrmCompFind::TFrmCompFind(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmCompFind"));
    setWindowTitle(QStringLiteral("公司查询"));
    ui::setFixedWindowSize(this, 536, 348);
    db::Dataset* companies = dataModule().CompanyQ;

    companyGrid = new ui::DbGrid(this);
    companyGrid->setObjectName(QStringLiteral("DBGrid1"));
    companyGrid->setReadOnly(true);
    companyGrid->setRowSelect(true);
    companyGrid->addColumn(QStringLiteral("comp_code"), QStringLiteral("客户编码"), 60);
    companyGrid->addColumn(QStringLiteral("comp_name"), QStringLiteral("客户公司"), 120);
    companyGrid->addColumn(QStringLiteral("head_name"), QStringLiteral("负责人名"), 60);

    // The current row's details, for reading only.
    const QList<QPair<QString, QString>> details = {
        {QStringLiteral("公司编码"), QStringLiteral("comp_code")}, {QStringLiteral("客户公司"), QStringLiteral("comp_name")},
        {QStringLiteral("公司地址"), QStringLiteral("comp_addr")}, {QStringLiteral("联系人名"), QStringLiteral("rela_name")},
        {QStringLiteral("电话"), QStringLiteral("rela_phon")},     {QStringLiteral("负责人名"), QStringLiteral("head_name")},
        {QStringLiteral("电话"), QStringLiteral("head_phon")}};
    auto* form = new QFormLayout;
    int number = 1;
    for (const auto& [label, field] : details) {
        auto* box = new ui::DbEdit(this);
        box->setObjectName(QStringLiteral("DBEdit%1").arg(number++));
        box->bind(companies, field);
        box->setFocusPolicy(Qt::ClickFocus);
        box->setMinimumWidth(170);
        // A long name shows its beginning.
        connect(box, &QLineEdit::textChanged, box, [box] { box->setCursorPosition(0); });
        form->addRow(label, box);
    }

    chooseButton = new QPushButton(QStringLiteral("选择[&O]"), this);
    chooseButton->setObjectName(QStringLiteral("BitBtn1"));
    cancelButton = new QPushButton(QStringLiteral("取消[&C]"), this);
    cancelButton->setObjectName(QStringLiteral("BitBtn2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {chooseButton, cancelButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    note = new QLabel(this);
    note->setObjectName(QStringLiteral("FindNote"));
    note->setWordWrap(true);
    note->hide();
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(note);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(companyGrid, 1);
    layout->addLayout(right);

    connect(chooseButton, &QPushButton::clicked, this, &TFrmCompFind::onChoose);
    connect(cancelButton, &QPushButton::clicked, this, &TFrmCompFind::onCancel);
    connect(companyGrid, &QAbstractItemView::doubleClicked, this, &TFrmCompFind::onChoose);
    companyGrid->installEventFilter(this);

    FormCreate();
}

void TFrmCompFind::FormCreate()
{
    db::Dataset* companies = dataModule().CompanyQ;
    try {
        const ui::BusyCursor busy;
        companies->close();
        companies->setSql(QStringLiteral("select * from company order by comp_code"));
        companies->open();
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("公司资料无法打开：%1").arg(ui::errorText(e)), this);
    }
    companyGrid->setDataset(companies);
    // After the reopening, which sets the boxes from the fields.
    for (ui::DbEdit* box : findChildren<ui::DbEdit*>())
        box->setReadOnly(true);
}

void TFrmCompFind::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ui::centreOnScreen(this);
}

void TFrmCompFind::setStartText(const QString& code)
{
    m_typed = code.trimmed();
    if (m_typed.isEmpty())
        return;
    db::Dataset* companies = dataModule().CompanyQ;
    try {
        const ui::BusyCursor busy;
        companies->close();
        companies->setSql(QStringLiteral("select * from company where lower(comp_code) like :code escape '\\' "
                                         "or lower(comp_name) like :name escape '\\' order by comp_code"));
        companies->setParameter(QStringLiteral("code"), WindowParts::containingPattern(m_typed));
        companies->setParameter(QStringLiteral("name"), WindowParts::containingPattern(m_typed));
        companies->open();
        if (const int row = companies->findStarting(QStringLiteral("comp_code"), m_typed); row >= 0)
            companies->moveTo(row);
    } catch (const std::exception& e) {
        ui::showError(QStringLiteral("查找失败：%1").arg(ui::errorText(e)), this);
    }
    note->setText(QStringLiteral("编码或名称含“%1”的公司").arg(m_typed));
    note->show();
    companyGrid->setFocus();
}

bool TFrmCompFind::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == companyGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onChoose();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmCompFind::onChoose()
{
    const db::Dataset* companies = dataModule().CompanyQ;
    if (companies->isOpen() && companies->recordCount() > 0) {
        accept();
        return;
    }
    ui::sayNothingToChoose(note, QStringLiteral("公司"), m_typed);
}

void TFrmCompFind::onCancel()
{
    reject();
}
