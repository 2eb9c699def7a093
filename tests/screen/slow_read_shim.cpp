// Loaded into the program under test (LD_PRELOAD): every read of a *.vks file first waits
// QUILLON_SLOW_READ_MS milliseconds, as a slow disk or a network share would make it wait.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" ssize_t read(int fd, void* pBuffer, size_t nBytes) {
    using ReadFn = ssize_t (*)(int, void*, size_t);
    static const ReadFn s_realRead = reinterpret_cast<ReadFn>(dlsym(RTLD_NEXT, "read"));
    char szLink[64];
    char szPath[1024];
    std::snprintf(szLink, sizeof szLink, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(szLink, szPath, sizeof szPath - 1);
    if (n > 4 && std::memcmp(szPath + n - 4, ".vks", 4) == 0) {
        const char* pszMs = std::getenv("QUILLON_SLOW_READ_MS");
        ::usleep(static_cast<useconds_t>(1000 * (pszMs != nullptr ? std::atoi(pszMs) : 100)));
    }
    return s_realRead(fd, pBuffer, nBytes);
}
