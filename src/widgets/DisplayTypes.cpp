#include "widgets/DisplayTypes.h"

namespace kv58 {

namespace {
QChar g_systemDecimalSeparator = u'.';
} // namespace

QChar systemDecimalSeparator()
{
    return g_systemDecimalSeparator;
}

void setSystemDecimalSeparator(QChar sep)
{
    g_systemDecimalSeparator = sep;
}

} // namespace kv58
