// libFuzzer target for the hive parser, whose input is a file anyone may have edited. Whatever
// the bytes, parsing returns, and a rejected hive leaves an empty tree. A hive that parses stays
// within the registry's limits, writes back to text that parses to the same tree, and writing
// that tree again gives the same bytes. Any breach aborts, so the fuzzer keeps the input.

#include "platform/RegistryHive.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view ROOT_NAME = "HKEY_CURRENT_USER";

[[noreturn]] void Fail(const char* pszWhat) {
    std::fprintf(stderr, "fuzz_hive: %s\n", pszWhat);
    std::abort();
}

bool SameValues(const CHiveKey& a, const CHiveKey& b) {
    const std::vector<CHiveValue>& valuesA = a.Values();
    const std::vector<CHiveValue>& valuesB = b.Values();
    if (valuesA.size() != valuesB.size()) {
        return false;
    }
    for (std::size_t i = 0; i < valuesA.size(); ++i) {
        if (valuesA[i].strName != valuesB[i].strName || valuesA[i].dwType != valuesB[i].dwType ||
            valuesA[i].strData != valuesB[i].strData) {
            return false;
        }
    }
    return true;
}

// Compares two trees key by key (names in their case, values in their order) with a stack of its
// own, and checks the first stays within MAX_KEY_DEPTH.
void CheckSameTree(const CHiveKey& rootA, const CHiveKey& rootB) {
    struct CPair {
        const CHiveKey* pA;
        const CHiveKey* pB;
        std::size_t nDepth;
    };
    std::vector<CPair> pending{{&rootA, &rootB, 0}};
    while (!pending.empty()) {
        const CPair pair = pending.back();
        pending.pop_back();
        if (pair.nDepth > MAX_KEY_DEPTH) {
            Fail("a hive deeper than the registry's limit parsed");
        }
        if (pair.pA->m_strName != pair.pB->m_strName || !SameValues(*pair.pA, *pair.pB) ||
            pair.pA->m_subKeys.size() != pair.pB->m_subKeys.size()) {
            Fail("a written hive parses to another tree");
        }
        auto itB = pair.pB->m_subKeys.begin();
        for (const auto& [strFolded, pChild] : pair.pA->m_subKeys) {
            if (strFolded != itB->first) {
                Fail("a written hive parses to another tree");
            }
            pending.push_back({pChild.get(), itB->second.get(), pair.nDepth + 1});
            ++itB;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    const std::string_view strText(reinterpret_cast<const char*>(pData), nSize);
    CHiveKey tree;
    CHiveParseError error;
    if (!ParseHive(strText, ROOT_NAME, tree, &error)) {
        if (!tree.m_subKeys.empty() || !tree.Values().empty() || error.nLine < 1 ||
            error.strReason.empty()) {
            Fail("a rejected hive left a tree or no reason");
        }
        return 0;
    }
    const std::string strWritten = FormatHive(tree, ROOT_NAME);
    CHiveKey back;
    if (!ParseHive(strWritten, ROOT_NAME, back, &error)) {
        Fail("a written hive does not parse");
    }
    CheckSameTree(tree, back);
    if (FormatHive(back, ROOT_NAME) != strWritten) {
        Fail("writing the same tree twice gives other bytes");
    }
    return 0;
}
