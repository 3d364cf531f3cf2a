#include "widgets/DisplayTypes.h"

namespace kv58 {

namespace {
// A process-wide setting by design (see the header), used from the user-interface thread.
QChar g_systemDecimalSeparator = u'.'; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
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
