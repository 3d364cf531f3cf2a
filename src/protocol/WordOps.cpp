#include "protocol/WordOps.h"

#include <algorithm>

namespace kv58 {

QString firstWord(QStringView text)
{
    const qsizetype blank = text.indexOf(u' ');
    return blank <= 0 ? QString() : text.left(blank).toString();
}

QString charsRange(QStringView text, qsizetype from, qsizetype to)
{
    from = std::max<qsizetype>(from, 1);
    to = std::min(to, text.size());
    if (to < from)
        return {};
    return text.mid(from - 1, to - from + 1).toString();
}

void Remainder::skipWord()
{
    const qsizetype blank = m_text.indexOf(u' ');
    if (blank >= 0)
        m_text = m_text.mid(blank + 1);
}

void Remainder::skipBlanks()
{
    qsizetype i = 0;
    while (i < m_text.size() && m_text[i] == u' ')
        ++i;
    m_text = m_text.mid(i);
}

void Remainder::dropFirst(qsizetype n)
{
    m_text = m_text.mid(std::min(std::max<qsizetype>(n, 0), m_text.size()));
}

} // namespace kv58
