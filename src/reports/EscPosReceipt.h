#pragma once

#include "reports/ReceiptText.h"
#include "shop/Receipt.h"

#include <QByteArray>

// A till receipt as the ESC/POS bytes a thermal receipt printer prints: the
// receipt's lines in GB18030, the number as a Code 128 barcode, a feed, the
// cut, and the cash drawer's pulse when cash was taken.
namespace EscPosReceipt {

// Dots across the printable width of a roll of 58 or 80 mm at 203 dots an inch.
int dotsAcross(int columns);

QByteArray bytes(const shop::Receipt& receipt, int columns);
// Any slip the same way: its lines, its barcode, feed, cut, the drawer when it took cash.
QByteArray bytes(const ReceiptText::Slip& slip, int columns);

} // namespace EscPosReceipt
