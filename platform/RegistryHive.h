#pragma once
// The content of one registry hive in memory, and its text form on disk.
//
// CHiveKey is a tree of keys, each with its typed values. Key and value names compare without
// regard to ASCII case and keep the case they were first given. ParseHive turns the hive file's
// text into a tree and FormatHive turns a tree back into text; formatting is canonical (sorted
// keys, values in the order they were first set), so formatting an unchanged tree twice gives the
// same bytes, and every value comes back byte for byte. No file or handle is involved here:
// Registry.cpp reads and writes the files and keeps the handles.
//
// A hive file is outside input: it may nest keys as deep as its text allows. Parsing, writing and
// destroying a tree therefore never recurse per level, and a tree beyond the real registry's own
// limits (MAX_KEY_DEPTH levels, MAX_KEY_NAME_CHARS per name) is refused as damaged, so that the
// calls can refuse to create one too.

#include "platform/WinTypes.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The first line of every hive file. The number is the format version.
inline constexpr std::string_view HIVE_HEADER = "Quillon Registry Hive Version 1";

// The real registry's limits. Names are counted in UTF-16 code units, as Windows counts them, so a
// name that fits there fits here. The depth counts the keys below the root.
constexpr std::size_t MAX_KEY_NAME_CHARS = 255;
constexpr std::size_t MAX_VALUE_NAME_CHARS = 16383;
constexpr std::size_t MAX_KEY_DEPTH = 512;

// ASCII-only lower case, the form names are compared in.
[[nodiscard]] std::string FoldName(std::string_view strName);

// True for text that is well-formed UTF-8 (no overlong forms, surrogates or code points above
// U+10FFFF).
[[nodiscard]] bool IsValidUtf8(std::string_view str);

// A name that can be stored and written to the hive file: valid UTF-8, no control characters,
// not too long; a key name is also non-empty and holds no backslash. The empty value name is the
// key's default value.
[[nodiscard]] bool IsValidKeyName(std::string_view strName);
[[nodiscard]] bool IsValidValueName(std::string_view strName);

struct CHiveValue {
    std::string strName; // in its own case; empty for the default value
    DWORD dwType = 0;
    std::string strData; // the bytes as stored
};

class CHiveKey {
public:
    CHiveKey() = default;
    explicit CHiveKey(std::string strName) : m_strName(std::move(strName)) {}
    // Frees the sub-tree level by level: a chain of keys as long as a file can hold must not
    // take a stack frame per key.
    ~CHiveKey();
    CHiveKey(const CHiveKey&) = delete;
    CHiveKey& operator=(const CHiveKey&) = delete;
    CHiveKey(CHiveKey&&) = default;
    CHiveKey& operator=(CHiveKey&&) = default;

    [[nodiscard]] CHiveKey* FindSubKey(std::string_view strName) const;
    // The sub-key of that name, created when missing. pbCreated says which.
    CHiveKey* AddSubKey(std::string_view strName, bool* pbCreated = nullptr);
    // False when there is no such sub-key.
    bool RemoveSubKey(std::string_view strName);

    // Follows a path of names below this key; nullptr when a step is missing.
    [[nodiscard]] CHiveKey* FindPath(const std::vector<std::string>& path) const;

    [[nodiscard]] const CHiveValue* FindValue(std::string_view strName) const;
    // Replaces the data and type of an existing value (keeping its name's case and its place)
    // or appends a new one.
    void SetValue(std::string_view strName, DWORD dwType, std::string strData);
    bool RemoveValue(std::string_view strName);

    // In the order they were first set.
    [[nodiscard]] const std::vector<CHiveValue>& Values() const { return m_values; }

    void Clear();

    std::string m_strName;
    std::map<std::string, std::unique_ptr<CHiveKey>> m_subKeys; // by folded name, so sorted

private:
    std::vector<CHiveValue> m_values;
    // Folded name to position in m_values, so that a key with many values loads in linear time.
    std::unordered_map<std::string, std::size_t> m_valueIndex;
};

struct CHiveParseError {
    int nLine = 0; // 1-based line of the fault
    std::string strReason;
};

// Reads hive text into root (cleared first), in time linear in the text's length. strRootName is
// the root's name as it appears in key lines, such as "HKEY_CURRENT_USER". False with the line and
// reason for anything that is not a complete, well-formed hive within the limits above: root is
// then left empty.
[[nodiscard]] bool ParseHive(std::string_view strText, std::string_view strRootName, CHiveKey& root,
                             CHiveParseError* pError);

// The canonical text of a hive, in time linear in its length.
[[nodiscard]] std::string FormatHive(const CHiveKey& root, std::string_view strRootName);
