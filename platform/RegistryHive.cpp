#include "platform/RegistryHive.h"

#include "platform/Registry.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::size_t HEX_LINE_WIDTH = 79; // wrapped like the registry editor's export
constexpr std::string_view HEX_INDENT = "  ";
constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

char FoldChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char f = FoldChar(c);
    if (f >= 'a' && f <= 'f') {
        return f - 'a' + 10;
    }
    return -1;
}

std::string_view TrimLeft(std::string_view str) {
    while (!str.empty() && (str.front() == ' ' || str.front() == '\t')) {
        str.remove_prefix(1);
    }
    return str;
}

std::string_view Trim(std::string_view str) {
    str = TrimLeft(str);
    while (!str.empty() && (str.back() == ' ' || str.back() == '\t')) {
        str.remove_suffix(1);
    }
    return str;
}

bool EqualFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldChar(x) == FoldChar(y);
           });
}

// Text that can be written in quotes: valid UTF-8, no control characters, and exactly one NUL,
// at the end.
bool IsQuotableText(std::string_view strData) {
    if (strData.empty() || strData.back() != '\0') {
        return false;
    }
    const std::string_view strText = strData.substr(0, strData.size() - 1);
    return IsValidUtf8(strText) && std::none_of(strText.begin(), strText.end(), [](char c) {
               return IsControl(static_cast<unsigned char>(c));
           });
}

void AppendQuoted(std::string& strOut, std::string_view str) {
    strOut += '"';
    for (std::size_t nEscape; (nEscape = str.find_first_of("\\\"")) != std::string_view::npos;) {
        strOut.append(str.substr(0, nEscape));
        strOut += '\\';
        strOut += str[nEscape];
        str.remove_prefix(nEscape + 1);
    }
    strOut.append(str);
    strOut += '"';
}

void AppendHexData(std::string& strOut, std::size_t nLineStart, std::string_view strData) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::size_t nColumn = strOut.size() - nLineStart;
    for (std::size_t i = 0; i < strData.size(); ++i) {
        const bool bLast = i + 1 == strData.size();
        const std::size_t nPiece = bLast ? 2 : 3;
        // Keep room for the continuation backslash at the end of a full line.
        if (i > 0 && nColumn + nPiece + 1 > HEX_LINE_WIDTH) {
            strOut += "\\\n";
            strOut += HEX_INDENT;
            nColumn = HEX_INDENT.size();
        }
        const auto b = static_cast<unsigned char>(strData[i]);
        strOut += DIGITS[b >> 4];
        strOut += DIGITS[b & 0xF];
        if (!bLast) {
            strOut += ',';
        }
        nColumn += nPiece;
    }
}

void AppendValue(std::string& strOut, const CHiveValue& value) {
    const std::size_t nLineStart = strOut.size();
    if (value.strName.empty()) {
        strOut += '@';
    } else {
        AppendQuoted(strOut, value.strName);
    }
    strOut += '=';
    if (value.dwType == REG_SZ && IsQuotableText(value.strData)) {
        AppendQuoted(strOut, std::string_view(value.strData).substr(0, value.strData.size() - 1));
    } else if (value.dwType == REG_DWORD && value.strData.size() == 4) {
        DWORD dw = 0;
        for (int i = 3; i >= 0; --i) {
            dw = (dw << 8) | static_cast<unsigned char>(value.strData[static_cast<std::size_t>(i)]);
        }
        char szDword[16];
        std::snprintf(szDword, sizeof szDword, "dword:%08x", static_cast<unsigned>(dw));
        strOut += szDword;
    } else {
        if (value.dwType == REG_BINARY) {
            strOut += "hex:";
        } else {
            char szType[24];
            std::snprintf(szType, sizeof szType, "hex(%x):", static_cast<unsigned>(value.dwType));
            strOut += szType;
        }
        AppendHexData(strOut, nLineStart, value.strData);
    }
    strOut += '\n';
}

// A key's own lines. A key is written when it holds values or has no sub-keys; the keys on the
// way to a written key exist implicitly, so empty keys survive without the file listing every
// parent.
void AppendKey(std::string& strOut, const CHiveKey& key, std::string_view strPath, bool bRoot) {
    if (!key.Values().empty() || (key.m_subKeys.empty() && !bRoot)) {
        strOut += "\n[";
        strOut += strPath;
        strOut += "]\n";
        for (const CHiveValue& value : key.Values()) {
            AppendValue(strOut, value);
        }
    }
}

// Line-by-line reader that knows where the text ends and whether the last line was complete.
class CLineReader {
public:
    explicit CLineReader(std::string_view strText) : m_strText(strText) {}

    // The next line without its line end (LF or CR LF). False at the end of the text; a final
    // line without a line end sets the truncated flag and is not returned.
    bool Next(std::string_view* pLine) {
        if (m_nPos >= m_strText.size()) {
            return false;
        }
        const std::size_t nEnd = m_strText.find('\n', m_nPos);
        ++m_nLine;
        if (nEnd == std::string_view::npos) {
            m_bTruncated = true;
            m_nPos = m_strText.size();
            return false;
        }
        std::string_view line = m_strText.substr(m_nPos, nEnd - m_nPos);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        m_nPos = nEnd + 1;
        *pLine = line;
        return true;
    }

    [[nodiscard]] int Line() const { return m_nLine; }
    [[nodiscard]] bool Truncated() const { return m_bTruncated; }

private:
    std::string_view m_strText;
    std::size_t m_nPos = 0;
    int m_nLine = 0;
    bool m_bTruncated = false;
};

// Reads a quoted string with \\ and \" escapes from the front of str. Moves str past it.
bool ReadQuoted(std::string_view& str, std::string* pOut) {
    if (str.empty() || str.front() != '"') {
        return false;
    }
    pOut->clear();
    std::string_view rest = str.substr(1);
    for (;;) {
        const std::size_t nStop = rest.find_first_of("\\\"");
        if (nStop == std::string_view::npos) {
            return false;
        }
        pOut->append(rest.substr(0, nStop));
        if (rest[nStop] == '"') {
            str = rest.substr(nStop + 1);
            return true;
        }
        if (nStop + 1 >= rest.size() || (rest[nStop + 1] != '\\' && rest[nStop + 1] != '"')) {
            return false;
        }
        *pOut += rest[nStop + 1];
        rest.remove_prefix(nStop + 2);
    }
}

class CHiveParser {
public:
    CHiveParser(std::string_view strText, std::string_view strRootName, CHiveKey& root)
        : m_reader(strText), m_strRootName(strRootName), m_root(root) {}

    bool Run(CHiveParseError* pError) {
        std::string_view line;
        if (!m_reader.Next(&line)) {
            return Fail(m_reader.Truncated() ? "truncated line" : "empty file", pError);
        }
        if (line.substr(0, UTF8_BOM.size()) == UTF8_BOM) {
            line.remove_prefix(UTF8_BOM.size());
        }
        if (Trim(line) != HIVE_HEADER) {
            return Fail("the first line is not \"" + std::string(HIVE_HEADER) + "\"", pError);
        }
        while (m_reader.Next(&line)) {
            const std::string_view strLine = Trim(line);
            if (strLine.empty() || strLine.front() == ';') {
                continue;
            }
            const char* pszFault =
                strLine.front() == '[' ? ReadKeyLine(strLine) : ReadValueLine(strLine);
            if (pszFault != nullptr) {
                return Fail(pszFault, pError);
            }
        }
        if (m_reader.Truncated()) {
            return Fail("truncated line", pError);
        }
        return true;
    }

private:
    bool Fail(std::string strReason, CHiveParseError* pError) {
        m_root.Clear();
        if (pError != nullptr) {
            pError->nLine = std::max(m_reader.Line(), 1);
            pError->strReason = std::move(strReason);
        }
        return false;
    }

    const char* ReadKeyLine(std::string_view strLine) {
        if (strLine.back() != ']') {
            return "a key line does not end with ]";
        }
        std::string_view strPath = strLine.substr(1, strLine.size() - 2);
        const std::size_t nSlash = strPath.find('\\');
        if (!EqualFolded(strPath.substr(0, nSlash), m_strRootName)) {
            return "a key outside this hive's root";
        }
        m_pKey = &m_root;
        if (nSlash == std::string_view::npos) {
            return nullptr;
        }
        strPath.remove_prefix(nSlash + 1);
        for (std::size_t nDepth = 1;; ++nDepth) {
            const std::size_t nNext = strPath.find('\\');
            const std::string_view strName = strPath.substr(0, nNext);
            if (!IsValidKeyName(strName)) {
                return "a bad key name";
            }
            if (nDepth > MAX_KEY_DEPTH) {
                return "keys nested too deeply";
            }
            m_pKey = m_pKey->AddSubKey(strName);
            if (nNext == std::string_view::npos) {
                return nullptr;
            }
            strPath.remove_prefix(nNext + 1);
        }
    }

    const char* ReadValueLine(std::string_view strLine) {
        if (m_pKey == nullptr) {
            return "a value before any key";
        }
        std::string strName;
        if (strLine.front() == '@') {
            strLine.remove_prefix(1);
        } else if (!ReadQuoted(strLine, &strName) || strName.empty()) {
            return "a bad value name";
        }
        if (!IsValidValueName(strName)) {
            return "a bad value name";
        }
        strLine = TrimLeft(strLine);
        if (strLine.empty() || strLine.front() != '=') {
            return "a value without =";
        }
        strLine = Trim(strLine.substr(1));

        DWORD dwType = REG_SZ;
        std::string strData;
        if (!strLine.empty() && strLine.front() == '"') {
            if (!ReadQuoted(strLine, &strData) || !Trim(strLine).empty()) {
                return "bad quoted text";
            }
            strData += '\0';
        } else if (strLine.substr(0, 6) == "dword:") {
            const std::string_view strDigits = strLine.substr(6);
            if (strDigits.empty() || strDigits.size() > 8) {
                return "a bad dword";
            }
            DWORD dw = 0;
            for (const char c : strDigits) {
                const int n = HexDigit(c);
                if (n < 0) {
                    return "a bad dword";
                }
                dw = (dw << 4) | static_cast<DWORD>(n);
            }
            dwType = REG_DWORD;
            for (int i = 0; i < 4; ++i) {
                strData += static_cast<char>((dw >> (8 * i)) & 0xFF);
            }
        } else if (const char* pszFault = ReadHex(strLine, &dwType, &strData)) {
            return pszFault;
        }
        m_pKey->SetValue(strName, dwType, std::move(strData));
        return nullptr;
    }

    // hex:bytes or hex(N):bytes, continued on following lines after a trailing backslash.
    const char* ReadHex(std::string_view strLine, DWORD* pdwType, std::string* pData) {
        if (strLine.substr(0, 3) != "hex") {
            return "an unknown value type";
        }
        strLine.remove_prefix(3);
        *pdwType = REG_BINARY;
        if (!strLine.empty() && strLine.front() == '(') {
            const std::size_t nClose = strLine.find(')');
            if (nClose == std::string_view::npos || nClose < 2 || nClose > 9) {
                return "a bad hex type";
            }
            DWORD dwType = 0;
            for (const char c : strLine.substr(1, nClose - 1)) {
                const int n = HexDigit(c);
                if (n < 0) {
                    return "a bad hex type";
                }
                dwType = (dwType << 4) | static_cast<DWORD>(n);
            }
            *pdwType = dwType;
            strLine.remove_prefix(nClose + 1);
        }
        if (strLine.empty() || strLine.front() != ':') {
            return "an unknown value type";
        }
        std::string strBytes(strLine.substr(1));
        while (!strBytes.empty() && strBytes.back() == '\\') {
            strBytes.pop_back();
            std::string_view next;
            if (!m_reader.Next(&next)) {
                return "truncated line";
            }
            strBytes += Trim(next);
        }
        const std::string_view strList = Trim(strBytes);
        if (strList.empty()) {
            return nullptr;
        }
        std::size_t nPos = 0;
        for (;;) {
            const std::size_t nComma = strList.find(',', nPos);
            const std::string_view strByte = Trim(strList.substr(nPos, nComma - nPos));
            const int nHigh = strByte.size() == 2 ? HexDigit(strByte[0]) : -1;
            const int nLow = strByte.size() == 2 ? HexDigit(strByte[1]) : -1;
            if (nHigh < 0 || nLow < 0) {
                return "a bad hex byte";
            }
            *pData += static_cast<char>(nHigh * 16 + nLow);
            if (nComma == std::string_view::npos) {
                return nullptr;
            }
            nPos = nComma + 1;
        }
    }

    CLineReader m_reader;
    std::string_view m_strRootName;
    CHiveKey& m_root;
    CHiveKey* m_pKey = nullptr;
};

} // namespace

std::string FoldName(std::string_view strName) {
    std::string str(strName);
    std::transform(str.begin(), str.end(), str.begin(), FoldChar);
    return str;
}

bool IsValidUtf8(std::string_view str) {
    std::size_t i = 0;
    while (i < str.size()) {
        const auto c = static_cast<unsigned char>(str[i]);
        std::size_t nMore = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            nMore = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nMore = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            nMore = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + nMore >= str.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= nMore; ++k) {
            const auto cc = static_cast<unsigned char>(str[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        const std::uint32_t MIN_FOR_LENGTH[] = {0, 0x80, 0x800, 0x10000};
        if (cp < MIN_FOR_LENGTH[nMore] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += nMore + 1;
    }
    return true;
}

namespace {
// Valid UTF-8 without control characters, of at most nMaxChars UTF-16 code units: one per code
// point, two for one beyond U+FFFF (a four-byte sequence).
bool IsStorableName(std::string_view strName, std::size_t nMaxChars) {
    if (!IsValidUtf8(strName)) {
        return false;
    }
    std::size_t nChars = 0;
    for (const char c : strName) {
        const auto b = static_cast<unsigned char>(c);
        if (IsControl(b)) {
            return false;
        }
        nChars += (b & 0xC0) != 0x80 ? 1 : 0; // a lead byte or ASCII starts a code point
        nChars += b >= 0xF0 ? 1 : 0;
    }
    return nChars <= nMaxChars;
}
} // namespace

bool IsValidKeyName(std::string_view strName) {
    return !strName.empty() && strName.find('\\') == std::string_view::npos &&
           IsStorableName(strName, MAX_KEY_NAME_CHARS);
}

bool IsValidValueName(std::string_view strName) {
    return IsStorableName(strName, MAX_VALUE_NAME_CHARS);
}

CHiveKey::~CHiveKey() {
    // Detach every descendant onto a list before it is freed, so each key dies with no sub-keys
    // and its own destructor has nothing to walk.
    std::vector<std::unique_ptr<CHiveKey>> pending;
    for (auto& [strFolded, pChild] : m_subKeys) {
        pending.push_back(std::move(pChild));
    }
    m_subKeys.clear();
    while (!pending.empty()) {
        std::unique_ptr<CHiveKey> pKey = std::move(pending.back());
        pending.pop_back();
        for (auto& [strFolded, pChild] : pKey->m_subKeys) {
            pending.push_back(std::move(pChild));
        }
        pKey->m_subKeys.clear();
    }
}

CHiveKey* CHiveKey::FindSubKey(std::string_view strName) const {
    const auto it = m_subKeys.find(FoldName(strName));
    return it == m_subKeys.end() ? nullptr : it->second.get();
}

CHiveKey* CHiveKey::AddSubKey(std::string_view strName, bool* pbCreated) {
    auto [it, bInserted] = m_subKeys.try_emplace(FoldName(strName));
    if (bInserted) {
        it->second = std::make_unique<CHiveKey>(std::string(strName));
    }
    if (pbCreated != nullptr) {
        *pbCreated = bInserted;
    }
    return it->second.get();
}

bool CHiveKey::RemoveSubKey(std::string_view strName) {
    return m_subKeys.erase(FoldName(strName)) > 0;
}

CHiveKey* CHiveKey::FindPath(const std::vector<std::string>& path) const {
    auto* pKey = const_cast<CHiveKey*>(this);
    for (const std::string& strName : path) {
        pKey = pKey->FindSubKey(strName);
        if (pKey == nullptr) {
            return nullptr;
        }
    }
    return pKey;
}

const CHiveValue* CHiveKey::FindValue(std::string_view strName) const {
    const auto it = m_valueIndex.find(FoldName(strName));
    return it == m_valueIndex.end() ? nullptr : &m_values[it->second];
}

void CHiveKey::SetValue(std::string_view strName, DWORD dwType, std::string strData) {
    auto [it, bInserted] = m_valueIndex.try_emplace(FoldName(strName), m_values.size());
    if (!bInserted) {
        CHiveValue& value = m_values[it->second];
        value.dwType = dwType;
        value.strData = std::move(strData);
        return;
    }
    m_values.push_back({std::string(strName), dwType, std::move(strData)});
}

bool CHiveKey::RemoveValue(std::string_view strName) {
    const auto it = m_valueIndex.find(FoldName(strName));
    if (it == m_valueIndex.end()) {
        return false;
    }
    const std::size_t nRemoved = it->second;
    m_valueIndex.erase(it);
    m_values.erase(m_values.begin() + static_cast<std::ptrdiff_t>(nRemoved));
    for (auto& [strFolded, nIndex] : m_valueIndex) {
        if (nIndex > nRemoved) {
            --nIndex;
        }
    }
    return true;
}

void CHiveKey::Clear() {
    m_values.clear();
    m_valueIndex.clear();
    // Each sub-key frees its own sub-tree without recursing.
    m_subKeys.clear();
}

bool ParseHive(std::string_view strText, std::string_view strRootName, CHiveKey& root,
               CHiveParseError* pError) {
    root.Clear();
    return CHiveParser(strText, strRootName, root).Run(pError);
}

std::string FormatHive(const CHiveKey& root, std::string_view strRootName) {
    std::string strOut(HIVE_HEADER);
    strOut += '\n';
    // Depth first in sorted order with an explicit stack; one path string grows and shrinks with
    // it, so each key's path is built once instead of copied at every level.
    struct CFrame {
        const CHiveKey* pKey;
        std::map<std::string, std::unique_ptr<CHiveKey>>::const_iterator itNext;
        std::size_t nPathSize;
    };
    std::string strPath(strRootName);
    AppendKey(strOut, root, strPath, true);
    std::vector<CFrame> stack{{&root, root.m_subKeys.begin(), strPath.size()}};
    while (!stack.empty()) {
        CFrame& frame = stack.back();
        if (frame.itNext == frame.pKey->m_subKeys.end()) {
            stack.pop_back();
            continue;
        }
        const CHiveKey& child = *(frame.itNext++)->second;
        strPath.resize(frame.nPathSize);
        strPath += '\\';
        strPath += child.m_strName;
        AppendKey(strOut, child, strPath, false);
        stack.push_back({&child, child.m_subKeys.begin(), strPath.size()});
    }
    return strOut;
}
