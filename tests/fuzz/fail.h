#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer on a finding: what went wrong, then the values that show it.
[[noreturn]] inline void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s\n%s\n", what, qPrintable(detail));
    std::abort();
}
