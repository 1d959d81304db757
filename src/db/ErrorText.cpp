#include "db/Error.h"

#include <sqlite3.h>

namespace db {

namespace {

QString sentence(const Error& error)
{
    switch (error.kind()) {
    case Error::ConnectionLost:
        return QStringLiteral("与店铺服务器的连接断开了，这次修改没有保存。请检查网络后再做一次");
    case Error::Unreachable:
        return QStringLiteral("无法连接店铺服务器，请检查服务器是否已启动、网络是否连通后再试");
    case Error::LockTimeout:
        return QStringLiteral("数据库正被其他程序使用，请稍后再试");
    default:
        break;
    }
    const int code = error.code();
    if (code == SQLITE_READONLY_DBMOVED)
        return QStringLiteral("数据库已被数据恢复替换，这次修改没有保存。请退出程序后重新打开，再做一次");
    switch (code & 0xff) {   // the primary code of an extended one
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("数据库文件已损坏，请从备份恢复");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("数据库正被其他程序使用，请稍后再试");
    case SQLITE_FULL:
        return QStringLiteral("磁盘已满，数据没有保存，请腾出空间后再试");
    case SQLITE_READONLY:
        return QStringLiteral("数据库文件是只读的，不能保存修改");
    case SQLITE_IOERR:
        return QStringLiteral("读写数据库文件时出错");
    case SQLITE_CANTOPEN:
        return QStringLiteral("无法打开数据库文件");
    default:
        return {};
    }
}

} // namespace

QString userText(const Error& error)
{
    const QString text = sentence(error);
    if (text.isEmpty() || error.message().isEmpty())
        return text.isEmpty() ? error.message() : text;
    return QStringLiteral("%1\n（详细信息：%2）").arg(text, error.message());
}

} // namespace db
