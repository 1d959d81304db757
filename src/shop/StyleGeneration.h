#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace db {
class Connection;
}

// 按款式生成: a style's goods made in one step, one per ticked colour and size.
// Window-free.
namespace StyleGeneration {

// An entry of the colour or size code list.
struct CodeItem {
    QString code;   // 编号
    QString name;
};

inline const QString defaultPattern = QStringLiteral("{款号}-{颜色}-{尺码}");

struct Request {
    QString style;   // 款号
    QString stem;    // the names' stem, "短袖衬衫"
    QString brand;
    QString kind;
    QString type;
    QString unit;
    QVariant purchasePrice;   // valu_in; null: none
    QVariant salePrice;       // valu_out
    QList<CodeItem> colors;
    QList<CodeItem> sizes;
    QString pattern = defaultPattern;
};

struct Planned {
    QString code;
    QString name;
    QString color;
    QString size;
    bool exists = false;   // the code is taken: listed, never written
};

// The colour and size lists of 基本设置, in their order.
QList<CodeItem> colorList(db::Connection& connection);
QList<CodeItem> sizeList(db::Connection& connection);

// The goods of the request, colour by colour, each size across; codes already
// in the catalogue (or twice in the run) are marked.
QList<Planned> plan(db::Connection& connection, const Request& request);
// Why the request cannot run (no style, no colour, no size, a code or name
// beyond its column); empty when it can.
QString refusal(const Request& request, const QList<Planned>& planned);
// Writes the new goods of the plan in one write transaction, with its log line;
// returns how many were written. A refused request throws std::invalid_argument.
int generate(db::Connection& connection, const Request& request);

} // namespace StyleGeneration
