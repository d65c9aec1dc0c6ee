#pragma once

#include <QString>

#include <exception>

// The program's runtime errors. Procedures never catch them: an error leaves the
// procedure and the event handler that ran it, and the platform reports it to the user.
enum class ErrorKind {
    Overflow,
    DivisionByZero,
    FloatingPoint,
    OutOfMemory,
    ControlArrayElementMissing,
    InvalidPropertyValue,
    InvalidPropertyArrayIndex,
};

class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(ErrorKind kind, QString detail = {});

    ErrorKind kind() const { return m_kind; }
    // The error's name in Bulgarian, as the user reads it, with the detail if any.
    QString description() const;
    const char *what() const noexcept override;

private:
    ErrorKind m_kind;
    QString m_detail;
    QByteArray m_what;
};
