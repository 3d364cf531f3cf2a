// Helpers shared by the protocol tests: readable QString output and typed access to messages.
#pragma once

#include "core/DateTime.h"
#include "protocol/Messages.h"

#include <QString>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace kv58::test {

// The message as kind T; a test failure (and a default T) when it holds another kind.
template <class T> T as(const Message& message)
{
    const T* p = std::get_if<T>(&message);
    EXPECT_NE(p, nullptr) << "the message holds alternative " << message.index();
    return p ? *p : T{};
}

inline TDateTime timeOfDay(int h, int m, int s)
{
    return *encodeTime(h, m, s);
}

inline TDateTime date(int y, int m, int d)
{
    return *encodeDate(y, m, d);
}

inline QString u16(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace kv58::test
