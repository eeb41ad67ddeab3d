#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <string>

class CPlaviaView;
class CTrueColorToolBar;
class MenuBuilder;
class QLabel;

// The main window: the view with the menus, the tool bar and the status bar; it keeps its own
// placement and the semi-transparent mode.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;
    CPlaviaView* View() const { return m_pView; }
    // Pane 0 of the status bar.
    void SetStatusText(const std::string& text);
    QString StatusText() const;
    // The document title shown before the program's name.
    void SetDocumentTitle(const std::string& title);
    MenuBuilder* Menus() const { return menus; }
    CTrueColorToolBar* ToolBar() const { return m_wndToolBar; }

    void OnTransparentMode();
    // A texture the user chose: in the semi-transparent mode it is the one leaving the mode brings back.
    void TextureChosen(int texture);
    void OnPreferences();
    void OnKeyHome();
    void OnWebHomePage();
    void OnTutorialVideos();
    void OnSendEmail();
    void OnContextHelp();
    void OnHelpFinder();
    // The page context help shows for a command (id) or, with id 0, for the part of the window clicked.
    std::string ContextHelpPage(unsigned id, const QWidget* area) const;
    // Shows each lock-key pane's text only while its key is on.
    void UpdateIndicators();
    QLabel* Indicator(int pane) const { return m_indicators[size_t(pane)]; }
    // Once shown: moves and sizes the window so that its frame, borders included, is on its screen. A
    // window manager adds its borders after the window is shown: it is done again once they are known.
    void KeepOnScreen();
    // Stores the window rectangle and the transparent flag into the settings.
    void SavePlacement();
    // Opens an address with the desktop's handler; the frame's commands ignore a failure.
    static bool OpenAddress(const std::string& url);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RegisterCommands();
    // The saved window rectangle, on a screen of today's layout.
    void RestoreWindowPlacement();
    // The board placement of the settings, or the default one when it would not be seen.
    void KeepBoardInView();
    void FitDefaultLayout();
    // The view's size, also before the window is shown.
    QSize ViewSize() const;
    // The window's place as the user left it, followed while it is neither maximised nor minimised.
    void FollowPlacement();
    // Stays on top of other windows, or not, without making the window anew.
    void SetStaysOnTop(bool on);
    CPlaviaView* m_pView = nullptr;
    CTrueColorToolBar* m_wndToolBar = nullptr;
    MenuBuilder* menus = nullptr;
    QLabel* pane0 = nullptr;
    std::array<QLabel*, 3> m_indicators {};
    uint8_t m_nSavedTexture = 0;
    bool placementSaved = false;
    bool placedWithBorders = false; // kept on the screen once the window manager's borders were known
    QRect normalPlacement; // the frame's corner and the window's size in the normal state
    bool defaultLayout = false; // the board's layout is the program's, not one the user chose
    bool exitAsked = false; // a close request is on the road of File > Exit
};
