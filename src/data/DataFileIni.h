// The header sections of a data file read the way INI files are read: "[name]" lines open a
// section, "key=value" lines give its keys, everything else is ignored. Section and key names match
// without regard to case (ASCII letters); blanks and tabs around names and values are not part of
// them. The first section of a name and the first key of a name in it count. Lines may end with
// CR LF or with LF alone.
#pragma once

#include <string_view>
#include <vector>

namespace kv58 {

class DataFileIni {
public:
    struct Entry {
        std::string_view key;
        std::string_view value;    // without surrounding blanks and tabs
        std::string_view rawValue; // everything after the "=" up to the line end
        int line = 0;              // 1-based
    };

    // Reads `bytes` in place: they must outlive this object.
    explicit DataFileIni(std::string_view bytes);

    // The key, or nullptr when the section or the key is missing.
    const Entry* find(std::string_view section, std::string_view key) const;
    // True when the section is there with at least one key.
    bool hasKeys(std::string_view section) const;

private:
    struct Section {
        std::string_view name;
        std::vector<Entry> entries;
    };
    const Section* section(std::string_view name) const;

    std::vector<Section> sections_;
};

} // namespace kv58
