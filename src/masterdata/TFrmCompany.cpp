#include "masterdata/TFrmCompany.h"

#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "ui/BusyCursor.h"
#include "ui/DbComboBox.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/WindowParts.h"
#include "ui/WindowPlacement.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {

MasterDataWindow::Setup companySetup()
{
    MasterDataWindow::Setup s;
    s.dataset = dataModule().CompanyQ;
    s.table = QStringLiteral("company");
    s.codeField = QStringLiteral("comp_code");
    s.codeCaption = QStringLiteral("公司编码");
    s.nameField = QStringLiteral("comp_name");
    s.findLabel = QStringLiteral("公司编码");
    s.position = Function::Company;
    s.uses = {{"inmain", "comp_code", QStringLiteral("进货及顾客退货单")},
              {"outmain", "comp_code", QStringLiteral("销售及退货厂商单")},
              {"gathmain", "comp_code", QStringLiteral("收款单")},
              {"paymain", "comp_code", QStringLiteral("付款单")},
              {"goods", "prod_code", QStringLiteral("货品（生产商）")},
              {"goods", "supp_code", QStringLiteral("货品（供应商）")}};
    s.importKind = SheetImport::Kind::Companies;
    return s;
}

// The data group, in the order of the table's columns.
struct CompanyControl {
    const char* label;
    const char* field;
    const char* name;
    bool combo;
    bool wide;
};

const CompanyControl companyControls[] = {
    {"公司编码", "comp_code", "DBEdit1", false, false},
    {"公司名称", "comp_name", "DBEdit2", false, false},
    {"公司地址", "comp_addr", "DBEdit3", false, true},
    {"联系人名", "rela_name", "DBEdit4", false, false},
    {"电话", "rela_phon", "DBEdit5", false, false},
    {"负责人名", "head_name", "DBEdit6", false, false},
    {"电话", "head_phon", "DBEdit7", false, false},
    {"公司类型", "comp_type", "DBcomp_type", true, false},
    {"银行帐号", "bank_no", "DBEdit8", false, false},
    {"国家", "belo_coun", "DBbelo_coun", true, false},
    {"地区", "belo_area", "DBbelo_area", true, false},
    {"省市", "belo_prov", "DBbelo_prov", true, false},
    {"邮编", "post_code", "DBEdit9", false, false},
    {"传真", "fax", "DBEdit10", false, false},
    {"E_mail", "e_mail", "DBEdit11", false, false},
    {"备注", "comp_note", "DBEdit12", false, true},
    {"信用额度", "cred_limit", "DBEdit13", false, false},
};

} // namespace

TFrmCompany::TFrmCompany(QWidget* parent)
    : MasterDataWindow(companySetup(), parent)
{
    setObjectName(QStringLiteral("FrmCompany"));
    setWindowTitle(QStringLiteral("客户资料"));   // as the menu, the tool bar and the rights name it
    dataGroup->setTitle(QStringLiteral("公司资料"));
    buildDataGroup();

    listGrid->addColumn(QStringLiteral("comp_code"), QStringLiteral("公司编码"), 120);
    listGrid->addColumn(QStringLiteral("comp_name"), QStringLiteral("客户名称"), 440);
    listGrid->addColumn(QStringLiteral("head_name"), QStringLiteral("负责人名"), 170);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolBarLayout());
    layout->addWidget(findGroup);
    layout->addWidget(dataGroup);
    layout->addWidget(listGrid, 1);
    // Room for ten companies and the heading (no taller than a row); the window grows to hold them.
    listGrid->setMinimumHeight(11 * listGrid->verticalHeader()->defaultSectionSize() + 2 * listGrid->frameWidth());
    ensurePolished();   // sizes with the fonts and style the window will show
    ui::setFixedWindowSize(this, 792, qMax(573, layout->totalSizeHint().height()));

    FormCreate();
}

void TFrmCompany::buildDataGroup()
{
    for (const CompanyControl& c : companyControls) {
        const QString name = QString::fromLatin1(c.name);
        const QString field = QString::fromLatin1(c.field);
        QWidget* control = name == QLatin1String("DBEdit1") ? codeEdit
                           : c.combo                        ? static_cast<QWidget*>(makeCombo(name, field))
                                                            : makeEdit(name, field);
        addField(QString::fromUtf8(c.label), control, c.wide);
    }
    const auto edit = [this](const char* name) { return dataGroup->findChild<ui::DbEdit*>(QLatin1String(name)); };
    const auto combo = [this](const char* name) {
        return dataGroup->findChild<ui::DbComboBox*>(QLatin1String(name));
    };
    nameEdit = edit("DBEdit2");
    addressEdit = edit("DBEdit3");
    contactNameEdit = edit("DBEdit4");
    contactPhoneEdit = edit("DBEdit5");
    managerNameEdit = edit("DBEdit6");
    managerPhoneEdit = edit("DBEdit7");
    bankAccountEdit = edit("DBEdit8");
    postCodeEdit = edit("DBEdit9");
    faxEdit = edit("DBEdit10");
    emailEdit = edit("DBEdit11");
    remarkEdit = edit("DBEdit12");
    creditLimitEdit = edit("DBEdit13");
    typeBox = combo("DBcomp_type");
    countryBox = combo("DBbelo_coun");
    areaBox = combo("DBbelo_area");
    provinceBox = combo("DBbelo_prov");
}

void TFrmCompany::FormCreate()
{
    const ui::BusyCursor busy;
    DataHelpers::adjustComboBoxes(this);
    FillLists();
    openDataset(QStringLiteral("select * from company order by comp_code"));
    setMode(Mode::Browsing);
}

void TFrmCompany::FillLists()
{
    const QString table = QStringLiteral("company");
    for (ui::DbComboBox* box : {typeBox, countryBox, areaBox, provinceBox})
        DataHelpers::fillCombo(table, box->fieldName(), box);
}

void TFrmCompany::afterCancel()
{
    // Back on the row that became current.
    dataset()->locate(QStringLiteral("comp_code"), codeEdit->text().trimmed());
}
