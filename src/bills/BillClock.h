#pragma once

#include <QDateTime>

// The moment the bill windows take as "now": today's bills, a new bill's date
// and number, the finders' date range. Tests set a fixed moment.
namespace BillClock {

QDateTime now();
// An invalid moment returns to the real clock.
void setNow(const QDateTime& moment);

} // namespace BillClock
