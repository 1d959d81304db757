#include "core/Clock.h"

namespace Clock {

namespace {
QDateTime fixed;
}

QDateTime now()
{
    return fixed.isValid() ? fixed : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setFixed(const QDateTime& moment)
{
    fixed = moment;
}

} // namespace Clock
