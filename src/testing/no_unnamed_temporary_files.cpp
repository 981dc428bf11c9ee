// Preloaded into a program (LD_PRELOAD), this makes the system refuse unnamed temporary files as
// file systems without them do (FAT, SMB/CIFS, NFS version 3): open() and openat() with O_TMPFILE
// fail with EOPNOTSUPP. Every other call goes on to the system's own.

#include <cerrno>
#include <cstdarg>

#include <dlfcn.h>
#include <fcntl.h>

namespace {

bool unnamed(int flags)
{
    return (flags & O_TMPFILE) == O_TMPFILE;
}

template <typename Function> Function *next(const char *name)
{
    return reinterpret_cast<Function *>(::dlsym(RTLD_NEXT, name));
}

using Open = int(const char *, int, ...);
using OpenAt = int(int, const char *, int, ...);

} // namespace

#define VADAZAZ_MODE(flags)                                                                        \
    mode_t mode = 0;                                                                               \
    if ((flags & O_CREAT) || unnamed(flags)) {                                                     \
        va_list arguments;                                                                         \
        va_start(arguments, flags);                                                                \
        mode = va_arg(arguments, mode_t);                                                          \
        va_end(arguments);                                                                         \
    }                                                                                              \
    if (unnamed(flags)) {                                                                          \
        errno = EOPNOTSUPP;                                                                        \
        return -1;                                                                                 \
    }

extern "C" int open(const char *path, int flags, ...)
{
    VADAZAZ_MODE(flags)
    static Open *const system = next<Open>("open");
    return system(path, flags, mode);
}

extern "C" int open64(const char *path, int flags, ...)
{
    VADAZAZ_MODE(flags)
    static Open *const system = next<Open>("open64");
    return system(path, flags, mode);
}

extern "C" int openat(int folder, const char *path, int flags, ...)
{
    VADAZAZ_MODE(flags)
    static OpenAt *const system = next<OpenAt>("openat");
    return system(folder, path, flags, mode);
}

extern "C" int openat64(int folder, const char *path, int flags, ...)
{
    VADAZAZ_MODE(flags)
    static OpenAt *const system = next<OpenAt>("openat64");
    return system(folder, path, flags, mode);
}
