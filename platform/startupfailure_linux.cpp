#include "platform/startupfailure.h"

#include <cstdio>

namespace platform {

void reportStartupFailure(const QString &, const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace platform
