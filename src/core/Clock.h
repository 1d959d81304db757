#pragma once

#include <QDateTime>

// The moment the program takes as now. Tests fix it, so that midnight changes nothing.
namespace Clock {

QDateTime now();
QDate today();
// Fixes the clock at a moment; an invalid moment gives the real clock back.
void setFixed(const QDateTime& moment);

} // namespace Clock
