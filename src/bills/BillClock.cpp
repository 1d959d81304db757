#include "bills/BillClock.h"

namespace BillClock {

namespace {
QDateTime fixedMoment;
}

QDateTime now()
{
    return fixedMoment.isValid() ? fixedMoment : QDateTime::currentDateTime();
}

void setNow(const QDateTime& moment)
{
    fixedMoment = moment;
}

} // namespace BillClock
