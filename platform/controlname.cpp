#include "platform/controlname.h"

using namespace Qt::StringLiterals;

namespace platform {

QString ControlName::toString() const
{
    return u"%1(%2)"_s.arg(array).arg(index);
}

} // namespace platform
