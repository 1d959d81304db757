#pragma once

// The four bill windows by kind, for tests that run a case in each.
#include "bills/TFrmIn.h"
#include "bills/TFrmOut.h"
#include "bills/TFrmReturnIn.h"
#include "bills/TFrmReturnout.h"

#include <memory>

enum class Kind { In, Out, ReturnIn, ReturnOut };

inline std::unique_ptr<BillWindow> makeWindow(Kind kind)
{
    switch (kind) {
    case Kind::In:
        return std::make_unique<TFrmIn>();
    case Kind::Out:
        return std::make_unique<TFrmOut>();
    case Kind::ReturnIn:
        return std::make_unique<TFrmReturnIn>();
    case Kind::ReturnOut:
        break;
    }
    return std::make_unique<TFrmReturnout>();
}
