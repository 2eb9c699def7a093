#include "tests/TestSupport.h"

#include "platform/LocalTime.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

std::string MakeUniqueFolder(const std::string& strPrefix) {
    static std::mt19937_64 s_random{std::random_device{}()};
    constexpr const char* LETTERS = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    for (int nTry = 0; !ec && nTry < 100; ++nTry) {
        std::string strName = strPrefix + "-";
        for (int i = 0; i < 6; ++i) {
            strName += LETTERS[s_random() % 36];
        }
        // Forward slashes on every system: the tests join paths with "/".
        const std::string strPath = (folder / strName).generic_string();
        if (fs::create_directory(strPath, ec)) {
            fs::permissions(strPath, fs::perms::owner_all, ec);
            return strPath;
        }
    }
    return {};
}

void SetEnv(const std::string& strName, const std::string& strValue) {
#ifdef _WIN32
    _putenv_s(strName.c_str(), strValue.c_str());
#else
    if (strValue.empty()) {
        unsetenv(strName.c_str());
    } else {
        setenv(strName.c_str(), strValue.c_str(), 1);
    }
#endif
}

CTempDir::CTempDir() : m_strPath(MakeUniqueFolder("quillon-test")) {
    if (m_strPath.empty()) {
        throw std::runtime_error("cannot make a temporary folder");
    }
}

CTempDir::~CTempDir() {
    std::error_code ec;
    // Restore write bits first so read-only fixtures can be removed.
    for (auto it = fs::recursive_directory_iterator(m_strPath, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(m_strPath, ec);
}

std::string CTempDir::File(const std::string& strName) const {
    return m_strPath + "/" + strName;
}

void WriteFile(const std::string& strPath, const std::string& strBytes) {
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + strPath);
    }
}

void AppendFile(const std::string& strPath, const std::string& strBytes) {
    std::ofstream out(strPath, std::ios::binary | std::ios::app);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    if (!out) {
        throw std::runtime_error("cannot append to " + strPath);
    }
}

std::string ReadFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool PdfPageSize(const std::string& strPdfInfo, double* pdWidth, double* pdHeight) {
    const std::string strLabel = "Page size:";
    const std::size_t nSize = strPdfInfo.find(strLabel);
    return nSize != std::string::npos && std::sscanf(strPdfInfo.c_str() + nSize + strLabel.size(),
                                                     "%lf x %lf", pdWidth, pdHeight) == 2;
}

CRecordingChart::~CRecordingChart() {
    for (CChartCall& call : m_calls) {
        for (VARIANT& var : call.args) {
            if (var.vt == VT_BSTR) {
                ClearVariant(&var);
            }
        }
    }
}

HRESULT CRecordingChart::Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) {
    CChartCall call;
    call.dispid = dispid;
    call.wFlags = wFlags;
    for (UINT i = 0; i < nArgs; ++i) {
        // Text is kept as a copy of its own: the caller frees its string when the call returns.
        call.args.push_back(pArgs[i].vt == VT_BSTR ? MakeVariantBstr(TextOfVariant(pArgs[i]))
                                                   : pArgs[i]);
    }
    if (nArgs == 2 && pArgs[1].vt == (VT_VARIANT | VT_BYREF) && pArgs[1].pvarVal != nullptr &&
        pArgs[1].pvarVal->vt == (VT_ARRAY | VT_R8) && pArgs[1].pvarVal->parray != nullptr) {
        const SAFEARRAY* psa = pArgs[1].pvarVal->parray;
        call.nDims = psa->cDims;
        call.nElementBytes = psa->cbElements;
        call.nRecords = psa->rgsabound[0].cElements;
        call.nInnerCount = psa->cDims > 1 ? psa->rgsabound[1].cElements : 0;
        call.pData = psa->pvData;
    }
    m_calls.push_back(std::move(call));
    return Next().Invoke(dispid, wFlags, pArgs, nArgs);
}

std::vector<DISPID> CRecordingChart::Dispids() const {
    std::vector<DISPID> ids;
    for (const auto& call : m_calls) {
        ids.push_back(call.dispid);
    }
    return ids;
}

double CRecordingChart::LastR8(DISPID dispid) const {
    for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it) {
        if (it->dispid == dispid && it->wFlags == DISPATCH_PROPERTYPUT && it->args.size() == 1 &&
            it->args[0].vt == VT_R8) {
            return it->args[0].dblVal;
        }
    }
    throw std::runtime_error("no VT_R8 write of property " + std::to_string(dispid));
}

CScopedTimeZone::CScopedTimeZone(const std::string& strZone) {
    if (const char* pszOld = std::getenv("TZ")) {
        m_strOld = pszOld;
        m_bHadOld = true;
    }
    SetEnv("TZ", strZone);
    ReadLocalTimeZone();
}

CScopedTimeZone::~CScopedTimeZone() {
    SetEnv("TZ", m_bHadOld ? m_strOld : std::string());
    ReadLocalTimeZone();
}

std::string SourceDir() {
    const char* psz = std::getenv("QUILLON_SOURCE_DIR");
    return psz != nullptr ? psz : QUILLON_TEST_SOURCE_DIR;
}

std::string BinaryDir() {
    const char* psz = std::getenv("QUILLON_BINARY_DIR");
    return psz != nullptr ? psz : QUILLON_TEST_BINARY_DIR;
}

} // namespace testing_support
