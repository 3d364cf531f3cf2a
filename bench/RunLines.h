// The measurement lines of a long two-channel irradiation run, as the instrument sends them.
#pragma once

#include "core/Formats.h"

#include <QString>

namespace kv58::bench {

// The n-th sample of the run, one second apart from 10:00:00 on (the clock wraps at midnight).
inline QString irradiationLine(int n)
{
    const int seconds = (36000 + n) % 86400;
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                             .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    const QString uva = formatFixed(20 + (n % 97) * 0.13, 1, 3, u',');
    const QString visl = formatFixed(150 + (n % 89) * 0.7, 1, 3, u',');
    return QStringLiteral("Time:%1 UVA %2 W/m& VISL   %3 W/m&").arg(time, uva, visl);
}

} // namespace kv58::bench
