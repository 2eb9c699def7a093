#include "platform/AtomicFileFault.h"

#include <algorithm>
#include <cerrno>

namespace {
struct CFault {
    EAtomicFault eAt = EAtomicFault::Write;
    int nErrno = 0;
    std::size_t nBytesLeft = 0;
};
CFault g_Fault;
} // namespace

void InjectAtomicFileFault(EAtomicFault eAt, int nErrno, std::size_t nBytesBefore) {
    g_Fault = {eAt, nErrno, nBytesBefore};
}

bool AtomicFaultFires(EAtomicFault eAt) {
    if (g_Fault.nErrno == 0 || g_Fault.eAt != eAt) {
        return false;
    }
    errno = g_Fault.nErrno;
    g_Fault.nErrno = 0;
    return true;
}

std::size_t AtomicWriteAllowance(std::size_t nWanted) {
    if (g_Fault.nErrno == 0 || g_Fault.eAt != EAtomicFault::Write) {
        return nWanted;
    }
    if (g_Fault.nBytesLeft == 0) {
        (void)AtomicFaultFires(EAtomicFault::Write);
        return 0;
    }
    const std::size_t nAllowed = std::min(nWanted, g_Fault.nBytesLeft);
    g_Fault.nBytesLeft -= nAllowed;
    return nAllowed;
}
