#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

// The temporary files of a save of `name` are named "." + name + "." and six letters or digits.
bool IsTemporaryOf(std::string_view candidate, std::string_view name)
{
    constexpr size_t suffix = 6;
    if (candidate.size() != name.size() + 2 + suffix || !candidate.starts_with('.')) return false;
    if (candidate.substr(1, name.size()) != name || candidate[name.size() + 1] != '.') return false;
    for (char c : candidate.substr(name.size() + 2))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

} // namespace

void RemoveLeftovers(const std::string& folder, const std::string& name)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(
        folder.empty() ? "." : folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path path = it->path();
        if (!IsTemporaryOf(path.filename().string(), name)) continue;
        // Only a file of this user's that no save holds any more: a save locks its file until it is
        // renamed, and the lock goes with the process that held it.
        int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info { };
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}

Result Write(const std::string& path, const std::function<int(int fd)>& write, bool removeLeftovers)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
    }
    if (fs::is_directory(target, ec)) return { EISDIR, Stage::Create };
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    // What a save cut short (the program killed in the middle of it) left beside this file goes now.
    if (removeLeftovers) RemoveLeftovers(folder.string(), target.filename().string());
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) return { errno, Stage::Create };
    // Held until the file is renamed or removed, so that no other save takes it for a leftover; on a
    // descriptor of its own, so that the written one is closed, and its error seen, before the rename.
    int lock = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (lock >= 0) ::flock(lock, LOCK_EX);
    struct stat old { };
    if (::stat(target.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    Result result;
    if (int error = write(fd)) result = { error, Stage::Write };
    if (result.Ok() && ::fsync(fd) != 0) result = { errno, Stage::Write };
    if (::close(fd) != 0 && result.Ok()) result = { errno, Stage::Write };
    if (result.Ok() && std::rename(temporary.c_str(), target.c_str()) != 0)
        result = { errno, Stage::Replace };
    if (!result.Ok()) ::unlink(temporary.c_str());
    if (lock >= 0) ::close(lock);
    return result;
}

} // namespace AtomicFile
