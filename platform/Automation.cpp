#include "platform/Automation.h"

#ifdef _WIN32
#include "platform/Win32Text.h"
#endif

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#ifndef _WIN32
HRESULT SafeArrayAllocDescriptor(UINT cDims, SAFEARRAY** ppsaOut) {
    if (ppsaOut == nullptr) {
        return E_INVALIDARG;
    }
    *ppsaOut = nullptr;
    if (cDims == 0 || cDims > 0xFFFF) {
        return E_INVALIDARG;
    }
    const std::size_t nBytes = sizeof(SAFEARRAY) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
    void* pMemory = std::calloc(1, nBytes);
    if (pMemory == nullptr) {
        return E_OUTOFMEMORY;
    }
    auto* psa = static_cast<SAFEARRAY*>(pMemory);
    psa->cDims = static_cast<USHORT>(cDims);
    *ppsaOut = psa;
    return S_OK;
}

HRESULT SafeArrayDestroyDescriptor(SAFEARRAY* psa) {
    std::free(psa);
    return S_OK;
}
#endif

namespace {
VARIANT NewVariant(VARTYPE vt) {
    VARIANT var;
#ifdef _WIN32
    ::VariantInit(&var); // a plain struct there: nothing else clears it
#endif
    var.vt = vt;
    return var;
}
} // namespace

VARIANT MakeVariantI2(SHORT nValue) {
    VARIANT var = NewVariant(VT_I2);
    var.iVal = nValue;
    return var;
}

VARIANT MakeVariantI4(LONG nValue) {
    VARIANT var = NewVariant(VT_I4);
    var.lVal = nValue;
    return var;
}

VARIANT MakeVariantR8(double dValue) {
    VARIANT var = NewVariant(VT_R8);
    var.dblVal = dValue;
    return var;
}

VARIANT MakeVariantBool(bool bValue) {
    VARIANT var = NewVariant(VT_BOOL);
    var.boolVal = bValue ? VARIANT_TRUE : VARIANT_FALSE;
    return var;
}

VARIANT MakeVariantBstr(std::string strValue) {
    VARIANT var = NewVariant(VT_BSTR);
#ifdef _WIN32
    const std::wstring strWide = WideFromUtf8(strValue);
    var.bstrVal = ::SysAllocStringLen(strWide.data(), static_cast<UINT>(strWide.size()));
#else
    var.bstrVal = std::move(strValue);
#endif
    return var;
}

VARIANT MakeVariantRef(VARIANT* pvar) {
    VARIANT var = NewVariant(VT_VARIANT | VT_BYREF);
    var.pvarVal = pvar;
    return var;
}

void ClearVariant(VARIANT* pvar) {
#ifdef _WIN32
    ::VariantClear(pvar);
#else
    pvar->bstrVal.clear();
    pvar->vt = VT_EMPTY;
#endif
}

std::string TextOfVariant(const VARIANT& var) {
    if (var.vt != VT_BSTR) {
        return {};
    }
#ifdef _WIN32
    return Utf8FromWide(var.bstrVal, ::SysStringLen(var.bstrVal));
#else
    return var.bstrVal;
#endif
}
