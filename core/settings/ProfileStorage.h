#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

// Reading and replacing the bytes of a profile file.
namespace omnar::settings {

enum class FileStatus { Ok, Missing, Unreadable };

struct RawFile {
    FileStatus status = FileStatus::Missing;
    std::string bytes;
    std::string error; // why it is Unreadable
};

RawFile readProfileBytes(const std::string& path);

// The file a symbolic link points at, so that a rewrite replaces that file
// instead of the link; any other path as it is.
std::string resolveTarget(const std::string& path);
std::string folderOf(const std::string& target);

// Serialises writers of different processes: an advisory lock on the folder
// itself, so no lock file is left behind. Best effort: a file system without
// flock still gets the atomic rename.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// One lock per file for the whole process, so two instances on the same
// path cannot interleave their read-modify-write cycles.
std::shared_ptr<std::mutex> lockFor(const std::string& path);

// Puts `bytes` in place of `target`: a temp file `temp` in the same folder,
// fsync, rename, fsync of the folder, so a crash leaves the old file or the
// new one. A file the user may not write is never replaced. When the folder
// refuses the temp file but the file itself is writable, the file is
// rewritten in place and flushed. False with `error` set on failure.
bool storeProfileBytes(const std::string& target, const std::string& temp, std::string_view bytes, int folderFd,
                       std::string& error);

} // namespace omnar::settings
