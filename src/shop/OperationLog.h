#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace db {
class Connection;
class Dataset;
}

// The change log oper_log: who changed what, when. A line is written inside the
// transaction of the change it records, so both land or neither does; no
// statement of the program updates or deletes a line. Window-free.
namespace OperationLog {

struct Entry {
    QString window;   // the window's caption, "销售输入"
    QString action;   // "新增", "修改", "删除", ...
    QString key;      // bill number or code
    QString summary;  // old → new totals or values
    QString detail;
};

// Writes the line as the current user at Clock::now(). Call it inside the
// change's transaction; it throws db::Error like any statement of the change.
// `saveId`: the identity of the save the line records (SaveIdentity), unique
// among the lines; empty for none.
void write(db::Connection& connection, const Entry& entry, const QString& saveId = {});

// Runs `change` and writes its line in one transaction: both land or neither does.
void record(db::Connection& connection, const Entry& entry, const std::function<void()>& change);

// The current row of a dataset as the log's detail: "field=value", one per line.
QString rowText(const db::Dataset& dataset);

// Actions the modules write.
inline const QString added = QStringLiteral("新增");
inline const QString edited = QStringLiteral("修改");
inline const QString deleted = QStringLiteral("删除");
inline const QString saved = QStringLiteral("保存");
inline const QString restored = QStringLiteral("恢复");
inline const QString printed = QStringLiteral("打印");
inline const QString reprinted = QStringLiteral("重印");
inline const QString rightsChanged = QStringLiteral("权限");

struct Filter {
    QDate from;       // whole days, both ends included
    QDate to;
    QString userId;   // blank: every user
    QString action;   // blank: every action
    QString keyText;  // part of the key; blank: every key
};

// Sets the dataset (OperLogQ) to the filter's lines, oldest first, and opens it.
void open(db::Dataset& list, const Filter& filter);
// The users and the actions the log holds, in order, for the filter's lists.
QStringList users(db::Connection& connection);
QStringList actions(db::Connection& connection);


} // namespace OperationLog
