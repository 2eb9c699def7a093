#pragma once
// Automation types as the program passes them to the strip chart: VARIANT and the SAFEARRAY
// descriptor. On Windows these are <oleauto.h>; here they are a small layer with the same field
// names, type codes and memory layout, so the loader can hand the chart its points in place.

#include "platform/WinTypes.h"

#include <string>

#ifdef _WIN32
#include <oleauto.h>
#else
using VARTYPE = USHORT;
using VARIANT_BOOL = SHORT;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum : VARTYPE {
    VT_EMPTY = 0,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
};

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};

// rgsabound[0] is the last (slowest-varying) dimension, as on Windows. A descriptor for cDims
// dimensions is allocated with room for cDims bounds.
struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};

// Text values are UTF-8 here; a BSTR is owned by the VARIANT that carries it.
struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        SHORT iVal;
        LONG lVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SAFEARRAY* parray;
        VARIANT* pvarVal;
    };
    std::string bstrVal;

    VARIANT() : dblVal(0.0) {}
};

// Allocates a descriptor with cDims bounds, all fields zero. Returns S_OK or E_INVALIDARG /
// E_OUTOFMEMORY; *ppsaOut is null on failure.
HRESULT SafeArrayAllocDescriptor(UINT cDims, SAFEARRAY** ppsaOut);
// Frees a descriptor from SafeArrayAllocDescriptor; never touches pvData.
HRESULT SafeArrayDestroyDescriptor(SAFEARRAY* psa);
#endif

// Builders for the argument VARIANTs the wrapper passes.
VARIANT MakeVariantI2(SHORT nValue);
VARIANT MakeVariantI4(LONG nValue);
VARIANT MakeVariantR8(double dValue);
VARIANT MakeVariantBool(bool bValue);
// A new string the VARIANT owns: give it back with ClearVariant.
VARIANT MakeVariantBstr(std::string strValue);
VARIANT MakeVariantRef(VARIANT* pvar);

// Frees what the VARIANT owns and leaves it VT_EMPTY.
void ClearVariant(VARIANT* pvar);
// The text of a VT_BSTR VARIANT in UTF-8 (a Windows BSTR is UTF-16); empty for any other type.
[[nodiscard]] std::string TextOfVariant(const VARIANT& var);
