#include "data/DataFileIni.h"

#include <algorithm>
#include <cstring>

namespace kv58 {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

} // namespace

DataFileIni::DataFileIni(std::string_view bytes)
{
    int lineNo = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        ++lineNo;
        const void* lf = std::memchr(bytes.data() + at, '\n', bytes.size() - at);
        const std::size_t end =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data()) : bytes.size();
        std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view text = trimmed(line);
        if (text.empty() || text.front() == ';')
            continue;
        if (text.front() == '[') {
            const std::size_t close = text.find(']');
            if (close != std::string_view::npos)
                sections_.push_back(Section{trimmed(text.substr(1, close - 1)), {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || sections_.empty())
            continue;
        const std::string_view key = trimmed(line.substr(0, eq));
        if (key.empty())
            continue;
        const std::string_view raw = line.substr(eq + 1);
        sections_.back().entries.push_back(Entry{key, trimmed(raw), raw, lineNo});
    }
}

const DataFileIni::Section* DataFileIni::section(std::string_view name) const
{
    for (const Section& s : sections_)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

const DataFileIni::Entry* DataFileIni::find(std::string_view sectionName, std::string_view key) const
{
    const Section* s = section(sectionName);
    if (!s)
        return nullptr;
    for (const Entry& e : s->entries)
        if (sameName(e.key, key))
            return &e;
    return nullptr;
}

bool DataFileIni::hasKeys(std::string_view sectionName) const
{
    const Section* s = section(sectionName);
    return s && !s->entries.empty();
}

} // namespace kv58
