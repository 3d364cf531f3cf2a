#include "data/RLXml.h"

#include "core/Cp1252.h"
#include "data/RLData.h"
#include "data/RLXmlText.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <exception>
#include <optional>

namespace kv58 {
namespace {

// A line longer than this is taken in pieces; a tag or content longer than these is cut (still
// read to its end), so a damaged or foreign file cannot make the reader hold it all in memory.
constexpr std::size_t kMaxLine = 1 << 20;
constexpr std::size_t kMaxTag = 4096;
constexpr std::size_t kMaxContent = 1 << 20;

// Buffered bytes of a device or of memory, with room to put back the rest of a line.
class ByteSource {
public:
    explicit ByteSource(QIODevice& device) : device_(&device) {}
    explicit ByteSource(std::string_view memory) : memory_(memory) {}

    // The next byte, or -1 at the end or after a read error.
    int get()
    {
        if (pos_ == buffer_.size() && !fill())
            return -1;
        return static_cast<unsigned char>(buffer_[pos_++]);
    }

    // The next line without its line end; false at the end of the input.
    bool readLine(std::string& line)
    {
        line.clear();
        int c = get();
        if (c < 0)
            return false;
        while (c >= 0 && c != '\n') {
            line += static_cast<char>(c);
            if (line.size() == kMaxLine)
                return true;
            c = get();
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    void putBack(std::string_view bytes)
    {
        buffer_ = std::string(bytes) + buffer_.substr(pos_);
        pos_ = 0;
    }

private:
    bool fill()
    {
        constexpr std::size_t kChunk = 1 << 16;
        buffer_.clear();
        pos_ = 0;
        if (device_) {
            buffer_.resize(kChunk);
            const qint64 n = device_->read(buffer_.data(), static_cast<qint64>(kChunk));
            buffer_.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        } else {
            const std::size_t n = std::min(kChunk, memory_.size());
            buffer_.assign(memory_.substr(0, n));
            memory_.remove_prefix(n);
        }
        return !buffer_.empty();
    }

    QIODevice* device_ = nullptr;
    std::string_view memory_;
    std::string buffer_;
    std::size_t pos_ = 0;
};

std::string asciiLower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool endsWithNoCase(std::string_view text, std::string_view lowerTail)
{
    if (text.size() < lowerTail.size())
        return false;
    text.remove_prefix(text.size() - lowerTail.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lowerTail[i])
            return false;
    }
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isSpace(char c)
{
    return isBlank(c) || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s, bool (*blank)(char))
{
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Optional blanks, an optional sign and decimal digits, up to the first other character.
std::optional<int> leadingNumber(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    const std::size_t first = i;
    long long value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        value = value * 10 + (s[i++] - '0');
        if (value > 0x7FFFFFFF)
            return std::nullopt;
    }
    if (i == first)
        return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

// A whole number filling the text, blanks and line ends around it allowed.
std::optional<int> wholeNumber(std::string_view s)
{
    s = trimmed(s, isSpace);
    std::size_t digits = s.size();
    if (!s.empty() && (s[0] == '+' || s[0] == '-'))
        --digits;
    if (digits == 0 || !std::all_of(s.end() - digits, s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return leadingNumber(s);
}

// Value of attribute `name` in a lower-cased tag text: the number after `name="`, where the
// attribute name stands after a blank or line end.
std::optional<int> numberAttribute(std::string_view lowerTag, std::string_view name)
{
    const std::string key = std::string(name) + "=\"";
    for (std::size_t at = lowerTag.find(key); at != std::string_view::npos; at = lowerTag.find(key, at + 1))
        if (at > 0 && isSpace(lowerTag[at - 1]))
            return leadingNumber(lowerTag.substr(at + key.size()));
    return std::nullopt;
}

bool hasAttribute(std::string_view lowerTag, std::string_view name)
{
    const std::string key = std::string(name) + "=\"";
    for (std::size_t at = lowerTag.find(key); at != std::string_view::npos; at = lowerTag.find(key, at + 1))
        if (at > 0 && isSpace(lowerTag[at - 1]))
            return true;
    return false;
}

enum class Step { Element, End, Fault };

class ElementReader {
public:
    ElementReader(ByteSource& source, TRLData& store) : source_(source), store_(store) {}

    // Reads and applies one element (skipping text and markup comments before it).
    Step next()
    {
        std::string tag;
        for (;;) {
            int c = source_.get();
            while (c >= 0 && c != '<')
                c = source_.get();
            if (c < 0 || !readTag(tag))
                return Step::Fault;
            if (tag.empty() || tag[0] != '!')
                break;
            // A comment may hold ">": it ends only at "-->".
            if (tag.rfind("!--", 0) == 0 && (tag.size() < 5 || tag.compare(tag.size() - 2, 2, "--") != 0) &&
                !skipPast("-->"))
                return Step::Fault;
        }
        if (tag.empty())
            return Step::Fault;
        const std::string lowerTag = asciiLower(tag);
        std::size_t nameEnd = lowerTag[0] == '/' ? 1 : 0;
        while (nameEnd < lowerTag.size() && !isSpace(lowerTag[nameEnd]) && lowerTag[nameEnd] != '/')
            ++nameEnd;
        const std::string name = lowerTag.substr(0, nameEnd);
        if (name == "/replist")
            return Step::End;
        static constexpr std::string_view kKnown[] = {"numcols",      "numrows",       "colname",
                                                      "columnformat", "checkedcolumn", "commonheader",
                                                      "cell",         "comment"};
        if (std::find(std::begin(kKnown), std::end(kKnown), name) == std::end(kKnown))
            return Step::Fault;
        std::string content;
        const bool selfClosing = !lowerTag.empty() && lowerTag.back() == '/';
        if (!selfClosing && !readContent("</" + name + ">", content))
            return Step::Fault;
        apply(name, lowerTag, rlXmlDecode(content));
        return Step::Element;
    }

private:
    // The tag text after "<" up to ">"; false when the input ends first.
    bool readTag(std::string& tag)
    {
        tag.clear();
        for (int c = source_.get(); c >= 0; c = source_.get()) {
            if (c == '>')
                return true;
            if (tag.size() < kMaxTag)
                tag += static_cast<char>(c);
        }
        return false;
    }

    bool skipPast(std::string_view marker)
    {
        std::string ignored;
        return readContent(marker, ignored);
    }

    // Bytes up to `endTag` (lower case, matched without regard to case), which is consumed.
    bool readContent(std::string_view endTag, std::string& content)
    {
        content.clear();
        for (int c = source_.get(); c >= 0; c = source_.get()) {
            content += static_cast<char>(c);
            if (endsWithNoCase(content, endTag)) {
                content.resize(content.size() - endTag.size());
                return true;
            }
            // Keep the first kMaxContent bytes and the last few that may begin the end tag.
            if (content.size() > kMaxContent + endTag.size())
                content.erase(kMaxContent, 1);
        }
        return false;
    }

    void apply(const std::string& name, std::string_view lowerTag, const std::string& content)
    {
        const QString text = cp1252ToUnicode(content);
        if (name == "numcols") {
            if (const auto n = wholeNumber(content); n && *n > 0)
                store_.SetNrOfColumns(*n);
        } else if (name == "numrows") {
            if (const auto n = wholeNumber(content); n && *n >= 0)
                store_.SetNrOfRows(*n);
        } else if (name == "commonheader") {
            store_.SetCommonHeader(text);
        } else if (name == "comment") {
            store_.SetComment(text);
        } else if (name == "cell") {
            // A cell without both indices says nothing about where it belongs: it is left out.
            const auto col = numberAttribute(lowerTag, "ix");
            const auto row = numberAttribute(lowerTag, "iy");
            if (!col || !row)
                return;
            store_.SetElemBytes(*col, *row, content);
            if (hasAttribute(lowerTag, "checked"))
                store_.SetElemChecked(*col, *row, true);
        } else if (const auto col = numberAttribute(lowerTag, "ix")) {
            if (name == "colname")
                store_.SetColName(*col, text);
            else if (name == "columnformat")
                store_.SetColumnFormat(*col, text);
            else if (name == "checkedcolumn")
                store_.SetColumnCheckBox(*col, true);
        }
    }

    ByteSource& source_;
    TRLData& store_;
};

// The "replist" line: its start, and the id value when it names the table asked for.
std::optional<std::size_t> matchReplist(const std::string& line, const std::string& lowerId, std::string& id)
{
    const std::string lower = asciiLower(line);
    const std::size_t start = lower.find("<replist");
    if (start == std::string::npos || lower.find("rltable") == std::string::npos)
        return std::nullopt;
    id.clear();
    for (std::size_t at = lower.find("id=\"", start); at != std::string::npos;
         at = lower.find("id=\"", at + 1)) {
        if (at == 0 || !isSpace(lower[at - 1]))
            continue;
        const std::size_t from = at + 4;
        const std::size_t to = std::min(lower.find('"', from), line.size());
        id = std::string(trimmed(std::string_view(line).substr(from, to - from), isBlank));
        break;
    }
    if (!lowerId.empty() && asciiLower(id) != lowerId)
        return std::nullopt;
    return start;
}

bool load(TRLData& store, ByteSource& source, const QString& dataId)
{
    try {
        const std::string lowerId = asciiLower(unicodeToCp1252(dataId));
        std::string line;
        std::string id;
        std::optional<std::size_t> start;
        while (!start) {
            if (!source.readLine(line))
                return false;
            start = matchReplist(line, lowerId, id);
        }
        store.SetDataID(cp1252ToUnicode(id));
        store.EmptyAllCells();
        // Elements may follow on the line of the start tag itself, after its ">" (a ">" inside a
        // quoted attribute value does not end the tag).
        bool quoted = false;
        for (std::size_t i = *start; i < line.size(); ++i) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else if (line[i] == '>' && !quoted) {
                source.putBack(line.substr(i + 1) + '\n');
                break;
            }
        }
        ElementReader reader(source, store);
        for (;;) {
            switch (reader.next()) {
            case Step::Element:
                break;
            case Step::End:
                return true;
            case Step::Fault:
                return false;
            }
        }
    } catch (const std::exception&) {
        return false;
    }
}

void appendLine(std::string& out, std::string_view text)
{
    out += text;
    out += "\r\n";
}

std::string element(std::string_view name, std::string_view attributes, std::string_view bytes)
{
    return "<" + std::string(name) + std::string(attributes) + ">" + rlXmlEncode(bytes) + "</" +
           std::string(name) + ">";
}

std::string ixAttribute(int col)
{
    return " ix=\"" + std::to_string(col) + "\"";
}

} // namespace

bool rlLoadXml(TRLData& store, QIODevice& in, const QString& dataId)
{
    ByteSource source(in);
    return load(store, source, dataId);
}

bool rlLoadXmlBytes(TRLData& store, std::string_view bytes, const QString& dataId)
{
    ByteSource source(bytes);
    return load(store, source, dataId);
}

bool rlLoadXmlFile(TRLData& store, const QString& fileName, const QString& dataId)
{
    // Only regular files: a device or a pipe could feed the line search forever.
    if (!QFileInfo(fileName).isFile())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return rlLoadXml(store, file, dataId);
}

std::string rlXmlText(const TRLData& store)
{
    std::string out;
    appendLine(out, "<?xml version=\"1.0\"?>");
    appendLine(out, "");
    appendLine(out, "<!-- TRLData / Report Table -->");
    // The identifier is an attribute value, which is read back undecoded up to the next double
    // quote: characters that would end it or the line are left out.
    std::string id = unicodeToCp1252(store.DataID());
    std::erase_if(id, [](char c) { return c == '"' || c == '\n'; });
    appendLine(out, R"(<replist sig="RLTable" vers="1070" id=")" + id + R"(">)");
    appendLine(out, element("comment", "", unicodeToCp1252(store.Comment())));
    appendLine(out, element("numcols", "", std::to_string(store.NrOfColumns())));
    appendLine(out, element("numrows", "", std::to_string(store.NrOfRows())));
    appendLine(out, element("commonheader", "", unicodeToCp1252(store.CommonHeader())));
    for (int col = 1; col <= store.NrOfColumns(); ++col)
        appendLine(out, element("colname", ixAttribute(col), unicodeToCp1252(store.GetColName(col))));
    for (int col = 1; col <= store.NrOfColumns(); ++col)
        if (!store.ColumnFormat(col).isEmpty())
            appendLine(out,
                       element("columnformat", ixAttribute(col), unicodeToCp1252(store.ColumnFormat(col))));
    for (int col = 1; col <= store.NrOfColumns(); ++col)
        if (store.ColumnIsCheckBox(col))
            appendLine(out, "<checkedcolumn" + ixAttribute(col) + " />");
    for (int row = 1; row <= store.NrOfRows(); ++row) {
        for (int col = 0; col <= store.NrOfColumns(); ++col) {
            const std::string_view bytes = store.ElemBytes(col, row);
            const bool checked = store.ElemChecked(col, row);
            if (bytes.empty() && !checked)
                continue;
            const std::string attributes =
                ixAttribute(col) + " iy=\"" + std::to_string(row) + "\"" + (checked ? " checked=\"\"" : "");
            appendLine(out, element("cell", attributes, bytes));
        }
    }
    appendLine(out, "</replist>");
    return out;
}

bool rlSaveXmlFile(const TRLData& store, const QString& fileName)
{
    try {
        const std::string text = rlXmlText(store);
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
            return false;
        return file.commit();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace kv58
