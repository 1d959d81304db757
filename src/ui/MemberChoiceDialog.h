#pragma once

#include "shop/MemberPoints.h"

#include <QDialog>

#include <optional>

class QListWidget;

namespace db {
class Connection;
}

// Choosing the member at a sale when a typed phone number fits several:
// Up and Down move, Enter chooses, Escape chooses nobody.
class MemberChoiceDialog : public QDialog {
    Q_OBJECT
public:
    MemberChoiceDialog(const QList<MemberPoints::Member>& members, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    MemberPoints::Member chosen() const;

    // The member a typed card or phone names: the only one found, or the one
    // chosen among several (through the dialog seam). Nothing when none is
    // found (`why` says so) or none was chosen (`why` empty).
    static std::optional<MemberPoints::Member> find(QWidget* parent, db::Connection& connection, const QString& typed,
                                                    QString& why);
    // "王芳 金卡 积分 500" as a sale shows its member.
    static QString describe(const MemberPoints::Member& member);

private:
    QList<MemberPoints::Member> m_members;
    QListWidget* m_list;
};
