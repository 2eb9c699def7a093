#include "platform/Automation.h"

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

VARIANT MakeVariantI2(SHORT nValue) {
    VARIANT var;
    var.vt = VT_I2;
    var.iVal = nValue;
    return var;
}

VARIANT MakeVariantI4(LONG nValue) {
    VARIANT var;
    var.vt = VT_I4;
    var.lVal = nValue;
    return var;
}

VARIANT MakeVariantR8(double dValue) {
    VARIANT var;
    var.vt = VT_R8;
    var.dblVal = dValue;
    return var;
}

VARIANT MakeVariantBool(bool bValue) {
    VARIANT var;
    var.vt = VT_BOOL;
    var.boolVal = bValue ? VARIANT_TRUE : VARIANT_FALSE;
    return var;
}

VARIANT MakeVariantBstr(std::string strValue) {
    VARIANT var;
    var.vt = VT_BSTR;
    var.bstrVal = std::move(strValue);
    return var;
}

VARIANT MakeVariantRef(VARIANT* pvar) {
    VARIANT var;
    var.vt = VT_VARIANT | VT_BYREF;
    var.pvarVal = pvar;
    return var;
}
