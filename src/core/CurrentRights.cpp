#include "core/CurrentRights.h"

bool CurrentRights::granted(Right right, int position) const
{
    const QString& rights = string(right);
    return position >= 1 && position <= rights.size() && rights.at(position - 1) == QLatin1Char('1');
}

const QString& CurrentRights::string(Right right) const
{
    switch (right) {
    case Right::Use:
        return use;
    case Right::Add:
        return add;
    case Right::Edit:
        return edit;
    case Right::Delete:
        return dele;
    case Right::Check:
        return chek;
    case Right::Find:
        return find;
    case Right::Print:
        return prin;
    }
    return use;
}

CurrentRights& CurrentRights::current()
{
    static CurrentRights rights;
    return rights;
}
