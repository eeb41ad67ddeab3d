#pragma once

#include <functional>
#include <string>
#include <vector>

// Handing addresses and programs to the desktop.

enum : int {
    SE_ERR_FNF = 2,
    SE_ERR_PNF = 3,
    SE_ERR_ACCESSDENIED = 5,
    SE_ERR_OOM = 8,
    SE_ERR_SHARE = 26,
    SE_ERR_ASSOCINCOMPLETE = 27,
    SE_ERR_DDETIMEOUT = 28,
    SE_ERR_DDEFAIL = 29,
    SE_ERR_DDEBUSY = 30,
    SE_ERR_NOASSOC = 31,
    SE_ERR_DLLNOTFOUND = 32,
};
enum : int { SW_SHOW = 5 };

// The result of an open whose verdict is still to come.
constexpr int ShellOpenPending = -1;

// Opens a web page, a mailto: link or a file with the desktop's handler. The result, above 32 for
// success or one of the SE_ERR codes, goes to `done` once it is known. The desktop's opener is waited
// for without stopping the program: `done` may run after ShellOpen has returned, from the event loop.
// Returns the result when it is known at once, else ShellOpenPending.
int ShellOpen(const std::string& address, std::function<void(int)> done = {});

// Opens still waiting for the opener's verdict.
int PendingShellOpens();

// Starts a program with its arguments, each handed over as it is (no shell reads them). Returns
// whether it started.
bool StartProgram(const std::string& program, const std::vector<std::string>& arguments);

// While a ShellScript exists, nothing is opened or started: the calls are recorded and answered.
class ShellScript {
public:
    ShellScript();
    ~ShellScript();
    ShellScript(const ShellScript&) = delete;
    ShellScript& operator=(const ShellScript&) = delete;
    int openResult = 33;
    bool startResult = true;
    std::vector<std::string> opened;
    struct Started {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::vector<Started> started;
};
