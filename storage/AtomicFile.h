#pragma once

#include <functional>
#include <string>

// Writing a file so that a failure never destroys the old one: the content goes to a temporary file
// beside the target (same folder, so the rename stays on one file system), which replaces the target
// only when everything was written and synced. A link is written through (the link stays), a folder is
// refused, and the new file keeps the old one's permissions.
namespace AtomicFile {

enum class Stage { None, Create, Write, Replace };

struct Result {
    int error = 0; // errno of the failure, 0 on success
    Stage stage = Stage::None; // where it failed
    bool Ok() const { return error == 0; }
};

// `write` fills the open descriptor (it must not close it) and returns 0 or an errno. With
// removeLeftovers, the temporary files that earlier saves of the same file left behind (the program was
// killed during them) are removed first.
Result Write(const std::string& path, const std::function<int(int fd)>& write, bool removeLeftovers = false);

// Removes from `folder` the temporary files of saves of the file `name` that no running save holds.
void RemoveLeftovers(const std::string& folder, const std::string& name);

} // namespace AtomicFile
