// Preloaded into a program (LD_PRELOAD), this makes the system refuse unnamed temporary files as
// file systems without them do (FAT, SMB/CIFS, NFS version 3): open() and openat() with O_TMPFILE
// fail with EOPNOTSUPP. Every other call goes on to the system's own.

#include <cerrno>
#include <cstdarg>

#include <dlfcn.h>
#include <fcntl.h>

#define VADAZAZ_ARGUMENTS(...) __VA_ARGS__
// The function of that name, its parameters before the flags and their names as arguments.
#define VADAZAZ_REFUSE_UNNAMED(function, arguments, ...)                                           \
    extern "C" int function(__VA_ARGS__, int flags, ...)                                           \
    {                                                                                              \
        const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;                                     \
        mode_t mode = 0;                                                                           \
        if ((flags & O_CREAT) || unnamed) {                                                        \
            va_list rest;                                                                          \
            va_start(rest, flags);                                                                 \
            mode = va_arg(rest, mode_t);                                                           \
            va_end(rest);                                                                          \
        }                                                                                          \
        if (unnamed) {                                                                             \
            errno = EOPNOTSUPP;                                                                    \
            return -1;                                                                             \
        }                                                                                          \
        using System = int(__VA_ARGS__, int, ...);                                                 \
        static System *const system = reinterpret_cast<System *>(::dlsym(RTLD_NEXT, #function));   \
        return system(VADAZAZ_ARGUMENTS arguments, flags, mode);                                   \
    }

VADAZAZ_REFUSE_UNNAMED(open, (path), const char *path)
VADAZAZ_REFUSE_UNNAMED(open64, (path), const char *path)
VADAZAZ_REFUSE_UNNAMED(openat, (folder, path), int folder, const char *path)
VADAZAZ_REFUSE_UNNAMED(openat64, (folder, path), int folder, const char *path)
