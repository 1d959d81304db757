#include "masterdata/TFrmMember.h"

#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "core/TFrmDataMod.h"
#include "db/Dataset.h"
#include "masterdata/MemberPageDialog.h"
#include "shop/MemberRules.h"
#include "ui/BusyCursor.h"
#include "ui/DbComboBox.h"
#include "ui/DbDateEdit.h"
#include "ui/DbEdit.h"
#include "ui/DbGrid.h"
#include "ui/Dialogs.h"
#include "ui/WindowParts.h"
#include "ui/WindowPlacement.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

MasterDataWindow::Setup memberSetup()
{
    MasterDataWindow::Setup s;
    s.dataset = dataModule().MemberQ;
    s.table = QStringLiteral("member");
    s.codeField = QStringLiteral("card_no");
    s.codeCaption = QStringLiteral("会员卡号");
    s.nameField = QStringLiteral("memb_name");
    s.findLabel = QStringLiteral("卡号/手机/姓名");
    s.position = Function::Members;
    s.uses = {{"outmain", "card_no", QStringLiteral("销售单")},
              {"inmain", "card_no", QStringLiteral("顾客退货单")},
              {"membpoint", "card_no", QStringLiteral("积分记录")}};
    s.importKind = SheetImport::Kind::Members;
    return s;
}

} // namespace

TFrmMember::TFrmMember(QWidget* parent)
    : MasterDataWindow(memberSetup(), parent)
{
    setObjectName(QStringLiteral("FrmMember"));
    setWindowTitle(QStringLiteral("会员资料"));
    dataGroup->setTitle(QStringLiteral("会员资料"));

    nameEdit = makeEdit(QStringLiteral("DBEdit2"), QStringLiteral("memb_name"));
    mobileEdit = makeEdit(QStringLiteral("DBEdit3"), QStringLiteral("mobile"));
    levelBox = makeCombo(QStringLiteral("DBlevel_name"), QStringLiteral("level_name"));
    birthdayEdit = new ui::DbDateEdit(dataGroup);
    birthdayEdit->setObjectName(QStringLiteral("DBbirthday"));
    birthdayEdit->bind(dataset(), QStringLiteral("birthday"));
    joinDateEdit = new ui::DbDateEdit(dataGroup);
    joinDateEdit->setObjectName(QStringLiteral("DBjoin_date"));
    joinDateEdit->bind(dataset(), QStringLiteral("join_date"));
    pointsEdit = makeEdit(QStringLiteral("DBEdit4"), QStringLiteral("points"));
    // Shown, never typed: disabled on its own, it stays so when the group is enabled.
    pointsEdit->setEnabled(false);
    pointsEdit->setToolTip(QStringLiteral("积分由销售、退货和积分抵现改变"));
    remarkEdit = makeEdit(QStringLiteral("DBEdit5"), QStringLiteral("remark"));
    addField(QStringLiteral("会员卡号"), codeEdit);
    addField(QStringLiteral("姓名"), nameEdit);
    addField(QStringLiteral("手机"), mobileEdit);
    addField(QStringLiteral("等级"), levelBox);
    addField(QStringLiteral("生日"), birthdayEdit);
    addField(QStringLiteral("入会日期"), joinDateEdit);
    addField(QStringLiteral("积分"), pointsEdit);
    addField(QStringLiteral("备注"), remarkEdit, true);
    codeEdit->setToolTip(QStringLiteral("扫描会员卡，或输入卡号（也可用手机号作卡号）"));

    listGrid->addColumn(QStringLiteral("card_no"), QStringLiteral("会员卡号"), 130);
    listGrid->addColumn(QStringLiteral("memb_name"), QStringLiteral("姓名"), 120);
    listGrid->addColumn(QStringLiteral("mobile"), QStringLiteral("手机"), 130);
    listGrid->addColumn(QStringLiteral("level_name"), QStringLiteral("等级"), 80);
    listGrid->addColumn(QStringLiteral("points"), QStringLiteral("积分"), 80);
    listGrid->addColumn(QStringLiteral("join_date"), QStringLiteral("入会日期"), 110);
    // Enter or a double click on a member opens the member's page.
    connect(listGrid, &QAbstractItemView::activated, this, &TFrmMember::openPage);

    QHBoxLayout* bar = toolBarLayout();
    pageButton = WindowParts::addButton(bar, "cmd_page", QStringLiteral("会员档案[&M]"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(findGroup);
    layout->addWidget(dataGroup);
    layout->addWidget(listGrid, 1);
    listGrid->setMinimumHeight(11 * listGrid->verticalHeader()->defaultSectionSize() + 2 * listGrid->frameWidth());
    ensurePolished();
    ui::setFixedWindowSize(this, 760, qMax(540, layout->totalSizeHint().height()));

    // A new card joins today with no points.
    dataset()->addHook(db::Dataset::Hook::NewRecord, this, [](db::Dataset& q) {
        q.setValue(QStringLiteral("join_date"), QDateTime(Clock::today(), QTime(0, 0)));
        q.setValue(QStringLiteral("points"), 0);
    });

    FormCreate();
}

void TFrmMember::FormCreate()
{
    const ui::BusyCursor busy;
    DataHelpers::fillCombo(QStringLiteral("memblevel"), QStringLiteral("level_name"), levelBox);
    openDataset(QStringLiteral("select * from member order by card_no"));
    setMode(Mode::Browsing);
}

bool TFrmMember::acceptRow()
{
    if (!acceptFieldRules())
        return false;
    db::Connection& connection = dataset()->connection();
    const QString card = codeEdit->text().trimmed();
    const QString owner = MemberRules::mobileOwner(connection, mobileEdit->text(), card);
    if (!owner.isEmpty()) {
        WindowParts::refuse(mobileEdit, QStringLiteral("手机“%1”%2").arg(mobileEdit->text().trimmed(),
                                                                     MemberRules::mobileTakenReason(owner)));
        return false;
    }
    const QString level = levelBox->currentText().trimmed();
    if (!level.isEmpty() && !MemberRules::levelKnown(connection, level)) {
        WindowParts::refuse(levelBox, QStringLiteral("等级“%1”%2").arg(level, MemberRules::unknownLevelReason()));
        return false;
    }
    return true;
}

void TFrmMember::afterCancel()
{
    dataset()->locate(QStringLiteral("card_no"), codeEdit->text().trimmed());
}

void TFrmMember::findRow(const QString& text)
{
    const QStringList cards = MemberRules::find(dataset()->connection(), text);
    if (cards.isEmpty()) {
        ui::inform(QStringLiteral("没有找到卡号、手机或姓名含“%1”的会员").arg(text), this);
        return;
    }
    // The same text again moves on to the next member it finds.
    const int at = text == m_lastFind ? int(cards.indexOf(codeEdit->text().trimmed())) : -1;
    m_lastFind = text;
    dataset()->locate(QStringLiteral("card_no"), cards.at((at + 1) % cards.size()));
}

void TFrmMember::updateButtons()
{
    MasterDataWindow::updateButtons();
    pageButton->setEnabled(!isEditing() && dataset()->recordCount() > 0);
}

void TFrmMember::openPage()
{
    const QString card = codeEdit->text().trimmed();
    if (isEditing() || card.isEmpty())
        return;
    MemberPageDialog page(dataset()->connection(), card, this);
    ui::dialogs().exec(&page);
}
