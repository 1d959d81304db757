#pragma once

#include <QString>

namespace db {
class Connection;
}

// Barcodes of goods: the EAN check digit, which symbology prints a code, the
// shop's own EAN-13 codes (prefix 20–29, reserved for in-store use) and
// finding goods by what a scanner reads. Window-free.
namespace Barcodes {

enum class Symbology { Ean13, Ean8, Code128 };

// The EAN/UPC check digit of the digits before it (7 for EAN-8, 12 for EAN-13).
int checkDigit(const QString& digits);
// 8 or 13 digits: a code that claims to be an EAN.
bool looksLikeEan(const QString& code);
// An EAN-8 or EAN-13 whose last digit is its check digit.
bool hasValidCheck(const QString& code);
// EAN-13 for 13 digits with a valid check, EAN-8 for 8, Code 128 for anything else.
Symbology symbology(const QString& code);

// What a scanner typed, without the control characters and blanks some send around the code.
QString cleaned(const QString& scanned);

// "编码 名称" of the goods other than `ownId` (in_id; -1 for a new row) that
// holds this barcode; empty when none does.
QString holder(db::Connection& connection, const QString& barCode, qint64 ownId);

// Why a barcode or a goods code is refused, naming the other goods ("编码 名称")
// or the file's row; each follows the refused value ("条形码“1002”是货品…").
QString takenReason(const QString& otherGoods);      // "已被货品“…”使用"
QString isCodeReason(const QString& otherGoods);     // "是货品“…”的编码"
QString isBarcodeReason(const QString& otherGoods);  // "是货品“…”的条形码"
QString checkDigitReason(const QString& code);       // "校验位不对（应为2）"

// Why the goods (its code, in_id; -1 for a new row) may not take this barcode:
// another goods holds it or has it as its code; empty when it may. A value the
// goods already stores is not refused again.
QString barcodeRefusal(db::Connection& connection, const QString& barCode, const QString& ownCode, qint64 ownId);
// Why the goods may not take this code: it is another goods' barcode; empty when it may.
QString codeRefusal(db::Connection& connection, const QString& code, qint64 ownId);

// The goods code a scanned or typed code names: a barcode first, then a goods code.
// Empty when it names no goods.
QString goodsFor(db::Connection& connection, const QString& code);

// The window whose action records the codes given out; its last key is the
// highest internal code ever issued, so a deleted goods' code is never reissued.
inline const QString generatedAction = QStringLiteral("生成条码");

// Gives every goods without a barcode the next internal EAN-13, in code order,
// in one write transaction with its line in the change log. Returns how many.
int assignInternal(db::Connection& connection, const QString& window);
// The code the next goods would get.
QString nextInternal(db::Connection& connection);

} // namespace Barcodes
