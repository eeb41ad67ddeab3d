#pragma once

#include <memory>

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
    // Ends the program after the current command (the File > Exit path).
    static void PostQuit();

private:
    std::unique_ptr<CMainFrame> m_pMainWnd;
};
