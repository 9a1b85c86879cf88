#include "core/settings/ProfileStorage.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace omnar::settings {

namespace {

// A profile is a few kilobytes; anything this large is not one, and reading
// it whole would only cost memory.
constexpr std::size_t kMaxFileSize = 16u * 1024u * 1024u;

std::string systemText(int err)
{
    char buf[256];
    return strerror_r(err, buf, sizeof buf); // the GNU variant returns the text
}

std::string failure(const std::string& what, int err) { return what + ": " + systemText(err); }

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now; false (errno set) when the close reports a lost write.
    bool reset()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

// The folder does not let us stage a temp file, while the file itself may be written.
bool folderRefused(int err) { return err == EACCES || err == EPERM; }

bool writeInPlace(const std::string& target, std::string_view bytes, std::string& error)
{
    Fd fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (fd.get() < 0 || !writeAll(fd.get(), bytes) || ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0
        || ::fsync(fd.get()) != 0 || !fd.reset()) {
        error = failure("cannot write " + target + " in place", errno);
        return false;
    }
    return true;
}

} // namespace

RawFile readProfileBytes(const std::string& path)
{
    RawFile r;
    // O_NONBLOCK: a FIFO or a device given as the profile must not hang the
    // open; it is refused below as no regular file.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) {
            r.status = FileStatus::Missing;
        } else {
            r.status = FileStatus::Unreadable;
            r.error = failure("cannot open", err);
        }
        return r;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        r.status = FileStatus::Unreadable;
        r.error = "not a regular file";
        return r;
    }
    char buf[16384];
    r.status = FileStatus::Ok;
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.status = FileStatus::Unreadable;
            r.error = failure("cannot read", errno);
            break;
        }
        if (n == 0)
            break;
        r.bytes.append(buf, static_cast<std::size_t>(n));
        if (r.bytes.size() > kMaxFileSize) {
            r.status = FileStatus::Unreadable;
            r.error = "too large for a profile file";
            break;
        }
    }
    if (r.status != FileStatus::Ok)
        r.bytes.clear();
    return r;
}

std::string resolveTarget(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto real = std::filesystem::canonical(path, ec);
        if (!ec)
            return real.string();
    }
    return path;
}

std::string folderOf(const std::string& target)
{
    const auto parent = std::filesystem::path(target).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

FolderLock::FolderLock(const std::string& folder)
    : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_fd >= 0) {
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // also releases the lock
}

std::shared_ptr<std::mutex> lockFor(const std::string& path)
{
    static std::mutex registryLock;
    static std::map<std::string, std::weak_ptr<std::mutex>> registry;
    std::error_code ec;
    auto key = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec)
        key = path;
    std::lock_guard guard(registryLock);
    for (auto it = registry.begin(); it != registry.end();)
        it = it->second.expired() ? registry.erase(it) : std::next(it);
    auto& slot = registry[key];
    auto lock = slot.lock();
    if (!lock) {
        lock = std::make_shared<std::mutex>();
        slot = lock;
    }
    return lock;
}

bool storeProfileBytes(const std::string& target, const std::string& temp, std::string_view bytes, int folderFd,
                       std::string& error)
{
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    // Whether we may write the file itself (permissions, read-only mounts,
    // immutable files), as the system judges it for our effective user.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        error = failure("write-protected, not replaced", errno);
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        error = "not a regular file, not replaced";
        return false;
    }
    // The system lets root write anything; a file with no write bit at all
    // was protected on purpose, also from root.
    if (exists && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        error = "write-protected (no write permission bit), not replaced";
        return false;
    }

    // O_NOFOLLOW: a planted link at the temp name must not redirect the write.
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, exists ? 0600 : 0666));
    if (out.get() < 0) {
        const int err = errno;
        if (exists && folderRefused(err))
            return writeInPlace(target, bytes, error);
        error = failure("cannot create " + temp, err);
        return false;
    }
    if (exists) {
        // The replacement keeps the file's owner and permissions where we may set them.
        (void)::fchown(out.get(), st.st_uid, st.st_gid);
        (void)::fchmod(out.get(), st.st_mode & 07777);
    }
    if (!writeAll(out.get(), bytes) || ::fsync(out.get()) != 0 || !out.reset()) {
        error = failure("cannot write " + temp, errno);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        // A sticky folder may refuse to replace a file it lets us write.
        if (exists && folderRefused(err))
            return writeInPlace(target, bytes, error);
        error = failure("cannot replace " + target, err);
        return false;
    }
    if (folderFd >= 0)
        (void)::fsync(folderFd); // the new file is in place; this only makes the rename durable
    return true;
}

} // namespace omnar::settings
