#include "calc/runtimeerror.h"

using namespace Qt::StringLiterals;

namespace {

QString errorName(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::Overflow:
        return u"Препълване"_s;
    case ErrorKind::DivisionByZero:
        return u"Деление на нула"_s;
    case ErrorKind::FloatingPoint:
        return u"Грешка при изчисление с плаваща запетая"_s;
    case ErrorKind::OutOfMemory:
        return u"Недостиг на памет"_s;
    case ErrorKind::ControlArrayElementMissing:
        return u"Няма такъв елемент в масива от контроли"_s;
    case ErrorKind::InvalidPropertyValue:
        return u"Невалидна стойност на свойство"_s;
    case ErrorKind::InvalidPropertyArrayIndex:
        return u"Невалиден индекс на свойство"_s;
    }
    return {};
}

} // namespace

RuntimeError::RuntimeError(ErrorKind kind, QString detail)
    : m_kind(kind), m_detail(std::move(detail)), m_what(description().toUtf8())
{ }

QString RuntimeError::description() const
{
    const QString name = errorName(m_kind);
    return m_detail.isEmpty() ? name : name + u": "_s + m_detail;
}

const char *RuntimeError::what() const noexcept
{
    return m_what.constData();
}
