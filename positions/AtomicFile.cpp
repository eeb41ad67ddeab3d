#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

Result Write(const std::string& path, const std::function<int(int fd)>& write)
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
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) return { errno, Stage::Create };
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
    return result;
}

} // namespace AtomicFile
