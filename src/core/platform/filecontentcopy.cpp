#include "platform/filecontentcopy.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

bool copyFileContents(int in, int out)
{
    bool offloaded = true;
    for (;;) {
        if (offloaded) {
            const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (copied > 0)
                continue;
            if (copied == 0)
                return true;
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                return false;
            offloaded = false;
        }
        std::vector<char> buffer(1 << 20);
        for (;;) {
            const ssize_t got = ::read(in, buffer.data(), buffer.size());
            if (got == 0)
                return true;
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            for (ssize_t written = 0; written < got;) {
                const ssize_t put =
                    ::write(out, buffer.data() + written, static_cast<size_t>(got - written));
                if (put < 0) {
                    if (errno == EINTR)
                        continue;
                    return false;
                }
                written += put;
            }
        }
    }
}
