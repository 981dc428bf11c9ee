#pragma once

// A limit on the size of the files this process writes, as `ulimit -f` sets it: a write that
// would take a file past it stops short and then fails with "File too large", as on a full disk.

#include <QtGlobal>

#include <csignal>

#include <sys/resource.h>

namespace vadazaz::testing {

class FileSizeLimit
{
public:
    // 0 leaves the limit as it is.
    explicit FileSizeLimit(qint64 bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        if (bytes <= 0)
            return;
        // Without this, the system ends the process at the limit instead of failing the write.
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = rlim_t(bytes);
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        if (!active_)
            qFatal("The file-size limit could not be set");
    }
    ~FileSizeLimit()
    {
        if (!active_)
            return;
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool active_ = false;
};

} // namespace vadazaz::testing
