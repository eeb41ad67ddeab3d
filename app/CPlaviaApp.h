#pragma once

#include <memory>
#include <string>

class CMainFrame;

// Start-up and exit of the program: settings in, main window, settings out.
class CPlaviaApp {
public:
    CPlaviaApp();
    ~CPlaviaApp();
    bool InitInstance();
    int ExitInstance();
    void OnAppAbout();
    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    // Ends the program after the current command (the File > Exit path). Only the first request
    // counts; the program then leaves its event loop without asking any window again.
    static void PostQuit();
    // Whether the program is ending: a close request that comes now asks nothing.
    static bool QuitPosted();

private:
    // The files named on the command line: the first opened as File > Open would.
    void OpenCommandLineFile();
    std::unique_ptr<CMainFrame> m_pMainWnd;
};
