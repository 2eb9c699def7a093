#include "tests/TestSupport.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace fs = std::filesystem;

CTempDir::CTempDir() {
    std::string strTemplate = (fs::temp_directory_path() / "quillon-test-XXXXXX").string();
    if (mkdtemp(strTemplate.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_strPath = strTemplate;
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
    return (fs::path(m_strPath) / strName).string();
}

void WriteFile(const std::string& strPath, const std::string& strBytes) {
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + strPath);
    }
}

std::string ReadFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

HRESULT CRecordingChart::Invoke(DISPID dispid, WORD wFlags, const VARIANT* pArgs, UINT nArgs) {
    CChartCall call;
    call.dispid = dispid;
    call.wFlags = wFlags;
    call.args.assign(pArgs, pArgs + nArgs);
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
    return m_pNext != nullptr ? m_pNext->Invoke(dispid, wFlags, pArgs, nArgs) : S_OK;
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
    setenv("TZ", strZone.c_str(), 1);
    tzset();
}

CScopedTimeZone::~CScopedTimeZone() {
    if (m_bHadOld) {
        setenv("TZ", m_strOld.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
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
