#pragma once

#include <sys/resource.h>

namespace zev {

// While it lives, the kernel lets this process make no file longer than
// bytes (RLIMIT_FSIZE, SIGXFSZ ignored): a write past it fails with EFBIG
// ("File too large"), as one on a full disk fails, but for this process
// alone and without any privilege.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace zev
