// The remainder operations by which every received line is taken apart: a working copy of the text
// that loses its leading words as the fields are read. Only the blank U+0020 separates words.
#pragma once

#include <QString>
#include <QStringView>

namespace kv58 {

// Characters of `text` before its first blank; empty when `text` begins with a blank or holds no
// blank at all (a last word without a blank behind it is not a word).
QString firstWord(QStringView text);

// Characters `from` to `to` of `text`, counted from 1 and inclusive; a range beyond the end yields
// what exists, an empty or inverted range yields nothing.
QString charsRange(QStringView text, qsizetype from, qsizetype to);

// The remainder of one line. It views the line it was made from, which must outlive it.
class Remainder {
public:
    explicit Remainder(QStringView text) : m_text(text) {}

    QStringView text() const { return m_text; }
    QString toString() const { return m_text.toString(); }
    qsizetype size() const { return m_text.size(); }
    bool isEmpty() const { return m_text.isEmpty(); }
    bool hasBlank() const { return m_text.contains(u' '); }

    QString firstWord() const { return kv58::firstWord(m_text); }
    QString chars(qsizetype from, qsizetype to) const { return charsRange(m_text, from, to); }

    // The remainder becomes the characters after its first blank; without a blank it stays as it is.
    void skipWord();
    // Leading blanks are removed.
    void skipBlanks();
    // The first `n` characters are removed (all of them when there are fewer).
    void dropFirst(qsizetype n);

private:
    QStringView m_text;
};

} // namespace kv58
