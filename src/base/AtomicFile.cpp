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

namespace {

// Longest chain of symbolic links followed, as the system itself allows.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A temporary file next to path (path + ".XXXXXX"); -1 when none can be made.
int MakeTemporary(const std::string& path, std::vector<char>& name)
{
    const std::string tmpl = path + ".XXXXXX";
    name.assign(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    return mkstemp(name.data());
}

FileProblem ProblemOfErrno(int err)
{
    switch (err) {
        case ENOENT:
        case ENOTDIR: return FileProblem::Missing;
        case EACCES:
        case EPERM:
        case EROFS: return FileProblem::NoPermission;
        case EISDIR: return FileProblem::IsFolder;
        default: return FileProblem::Other;
    }
}

}  // namespace

std::string ResolveLinkTarget(const std::string& path)
{
    std::string current = path;
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(current.c_str(), buf.data(), buf.size());
        if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return current;
        const std::string target(buf.data(), static_cast<size_t>(n));
        current = target.front() == '/' ? target : FolderOf(current) + "/" + target;
    }
    return current;
}

bool WriteFileAtomic(const std::string& path, std::span<const unsigned char> bytes)
{
    // A link stays a link: the file it points at is replaced.
    const std::string target = ResolveLinkTarget(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    std::vector<char> name;
    int fd = MakeTemporary(target, name);
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
    if (replacing) {
        // The file keeps its owner where the user may give it (the owner or root), and its
        // permissions whatever they are: a read-only file stays read-only.
        (void)!::fchown(fd, old.st_uid, old.st_gid);
        ::fchmod(fd, old.st_mode & 0777);
    } else {
        // The permissions a plain new file would get.
        mode_t mask = umask(0);
        umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
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
    if (std::rename(name.data(), target.c_str()) != 0) {
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

FileProblem CheckReadableFile(const std::string& path, uint64_t maxSize)
{
    struct stat st {};
    if (path.empty()) return FileProblem::Missing;
    if (::stat(path.c_str(), &st) != 0) return ProblemOfErrno(errno);
    if (S_ISDIR(st.st_mode)) return FileProblem::IsFolder;
    if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > maxSize)
        return FileProblem::TooLarge;
    // Opening without waiting: a pipe or a device must not block the check.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return ProblemOfErrno(errno);
    ::close(fd);
    return FileProblem::None;
}

FileProblem CheckWritableFile(const std::string& path)
{
    if (path.empty()) return FileProblem::Missing;
    const std::string target = ResolveLinkTarget(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return FileProblem::IsFolder;
    if (!target.empty() && target.back() == '/') return FileProblem::IsFolder;
    const std::string folder = FolderOf(target);
    if (::stat(folder.c_str(), &st) != 0) {
        const FileProblem p = ProblemOfErrno(errno);
        return p == FileProblem::Missing ? FileProblem::NoFolder : p;
    }
    if (!S_ISDIR(st.st_mode)) return FileProblem::NoFolder;
    std::vector<char> name;
    const int fd = MakeTemporary(target, name);
    if (fd < 0) {
        const FileProblem p = ProblemOfErrno(errno);
        return p == FileProblem::Missing ? FileProblem::NoFolder : p;
    }
    ::close(fd);
    ::unlink(name.data());
    return FileProblem::None;
}

}  // namespace rv
