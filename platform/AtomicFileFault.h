#pragma once
// The test seam of CAtomicFile (InjectAtomicFileFault), shared by its POSIX and Windows
// implementations: each asks here before the step a test may make fail.

#include "platform/AtomicFile.h"

#include <cstddef>

// True, with errno set, when the injected fault fires at this step (once).
[[nodiscard]] bool AtomicFaultFires(EAtomicFault eAt);
// How many of nWanted bytes the next write may take; 0 when the injected write fault fires now
// (errno set).
[[nodiscard]] std::size_t AtomicWriteAllowance(std::size_t nWanted);
