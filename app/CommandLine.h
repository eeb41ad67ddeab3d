#pragma once

#include <string>
#include <vector>

class CPlaviaView;

// What the program is asked to do on its command line: a file manager names the files chosen by their
// paths or as file:// addresses; a user may ask for the usage text or the version.
namespace CommandLine {

struct FileArgument {
    std::string given; // as it was written, for messages
    std::string path; // the file system's bytes of the local file it names; empty when it names none
};

struct Request {
    bool help = false;
    bool version = false;
    std::vector<std::string> unknownOptions;
    std::vector<FileArgument> files; // in the order given
};

// `arguments` without the program's name; "--" ends the options, after it every argument is a file.
Request Parse(const std::vector<std::string>& arguments);

// The arguments the program was started with, as the system gave their bytes (main sets them; until then
// the application's own list is used).
void SetArguments(int argc, char** argv);
std::vector<std::string> Arguments();

// Opens the first file named, as File > Open would, or says why it cannot; names the others, which are
// not opened: the program keeps one list.
void OpenFiles(CPlaviaView& view, const Request& request);

// Texts for the terminal.
std::string UsageText();
std::string UnknownOptionText(const std::string& option);

} // namespace CommandLine
