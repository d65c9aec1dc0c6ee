#pragma once

#include "calc/runtimeerror.h"

#include <QByteArray>
#include <QtTest>

#include <optional>

// The kind of runtime error the call raises, or none: the one way the tests expect an error.
template <typename Call> std::optional<ErrorKind> raised(Call &&call)
{
    try {
        call();
    } catch (const RuntimeError &error) {
        return error.kind();
    }
    return std::nullopt;
}

// So that a failed QCOMPARE says which errors it compared.
inline char *toString(ErrorKind kind)
{
    return qstrdup("ErrorKind " + QByteArray::number(int(kind)));
}

inline char *toString(const std::optional<ErrorKind> &kind)
{
    return kind ? toString(*kind) : qstrdup("no error");
}
