#include "shop/SaveIdentity.h"

#include "db/Error.h"

#include <QUuid>

namespace SaveIdentity {

QString make()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool isDatabaseFailure(const std::exception& failure)
{
    return dynamic_cast<const db::Error*>(&failure) != nullptr;
}

} // namespace SaveIdentity
