#include "base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace rv {

bool WriteFileAtomic(const std::string& path, std::span<const unsigned char> bytes)
{
    std::string tmpl = path + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            ::close(fd);
            ::unlink(name.data());
            errno = saved;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    // Keep the permissions a plain new file would get.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    // Close on every path: a failed fsync must not leak the descriptor.
    bool synced = ::fsync(fd) == 0;
    int saved = errno;
    bool closed = ::close(fd) == 0;
    if (synced) saved = errno;
    if (!synced || !closed) {
        ::unlink(name.data());
        errno = saved;
        return false;
    }
    if (std::rename(name.data(), path.c_str()) != 0) {
        saved = errno;
        ::unlink(name.data());
        errno = saved;
        return false;
    }
    return true;
}

bool WriteFileAtomic(const std::string& path, const std::string& text)
{
    return WriteFileAtomic(
        path, std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(text.data()),
                                             text.size()));
}

bool ReadWholeFile(const std::string& path, std::string& out)
{
    // A directory opens like a file on this platform; it is not a readable file.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return false;
    out = ss.str();
    return true;
}

}  // namespace rv
