#include "ui/MemberChoiceDialog.h"

#include "shop/MemberRules.h"
#include "ui/Dialogs.h"
#include "ui/WindowParts.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

MemberChoiceDialog::MemberChoiceDialog(const QList<MemberPoints::Member>& members, QWidget* parent)
    : QDialog(parent), m_members(members)
{
    setWindowTitle(QStringLiteral("选择会员"));
    m_list = WindowParts::named<QListWidget>("memberList", this);
    for (const MemberPoints::Member& member : members)
        // The phone tells two members of one name apart; masked without the members right.
        m_list->addItem(QStringList{member.cardNo, describe(member), MemberRules::shownPhone(member.mobile)}.join(QStringLiteral("　")));
    m_list->setCurrentRow(0);
    auto* column = new QVBoxLayout(this);
    column->addWidget(WindowParts::caption(QStringLiteral("找到 %1 位会员：").arg(members.size()), m_list, this));
    column->addWidget(m_list);
    column->addWidget(new QLabel(QStringLiteral("↑↓ 选择　Enter 确定　Esc 取消"), this));
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    resize(420, 300);
}

MemberPoints::Member MemberChoiceDialog::chosen() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < m_members.size() ? m_members.at(row) : MemberPoints::Member{};
}

QString MemberChoiceDialog::describe(const MemberPoints::Member& member)
{
    return QStringLiteral("%1 %2 积分 %3").arg(member.name, member.level).arg(member.points);
}

std::optional<MemberPoints::Member> MemberChoiceDialog::find(QWidget* parent, db::Connection& connection,
                                                             const QString& typed, QString& why)
{
    why.clear();
    const QList<MemberPoints::Member> members = MemberPoints::find(connection, typed);
    if (members.isEmpty()) {
        why = QStringLiteral("没有卡号或手机号为“%1”的会员").arg(typed.trimmed());
        return std::nullopt;
    }
    if (members.size() == 1)
        return members.first();
    MemberChoiceDialog dialog(members, parent);
    if (ui::dialogs().exec(&dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}
