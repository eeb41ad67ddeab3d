#pragma once

#include "platform/WinTypes.h"

#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <functional>
#include <string>

// A static text of a dialog made a web link: link colours, underlined while the mouse is over it, a
// hand cursor, the address as tool tip, and a click opens the address with the desktop.
class CHyperLink : public QLabel {
    Q_OBJECT
public:
    explicit CHyperLink(QWidget* parent = nullptr);
    ~CHyperLink() override;

    // What the dialog does when it takes the control over: text, fonts, size, cursor and tip.
    void PreSubclassWindow();
    void SetAddress(const std::string& url);
    const std::string& Address() const { return m_strAddress; }
    // Opens an address with the desktop, or else with the browser command registered for web pages.
    // The result, above 32 for success, goes to `done` once known, which may be after the return: the
    // desktop's opener is waited for without stopping the program. Returns the result when it is known
    // at once, else ShellOpenPending.
    static int OpenAddress(const std::string& url, int show, std::function<void(int)> done = {});
    static long ReadClassesRootValue(const std::string& subkey, std::string& out);
    static void ShowOpenError(int code);
    // What a failed open tells the user: a beep and the reason. The e-mail command tells it the same way.
    static void ReportOpenFailure(int code);
    // The text of that message for a code.
    static std::string OpenErrorText(int code);
    void MarkAsOpened();
    void ChooseUnderline(int mode);
    void LoadHandCursor();
    void FitWindowToText();
    void OnLinkClicked();
    // The verdict on the address opened by a click.
    void OnOpened(int result);
    void OnMouseMove();
    void OnTimer();
    // The colour the text is drawn in now.
    Win32::COLORREF TextColour() const;

    Win32::COLORREF m_colorLink = Win32::RGB(0, 0, 238);
    Win32::COLORREF m_colorOpened = Win32::RGB(85, 26, 139);
    Win32::COLORREF m_colorHover = Win32::RGB(255, 0, 0);
    bool m_bHovering = false;
    bool m_bOpened = false;
    int m_nUnderlineMode = -1; // -1 underlined while hovering, 0 never, 1 always
    bool m_bFitToText = true;
    std::string m_strAddress;
    QFont m_fontUnderlined;
    QFont m_fontPlain;
    bool m_hHandCursor = false;
    QTimer m_hoverTimer;
    static constexpr unsigned m_nHoverTimerId = 100;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    // The tip is the address, whatever help text the dialog gives its controls.
    bool event(QEvent* event) override;

private:
    void ShowColours();
    // The fallback when the desktop could not open an address (its result is `result`).
    static int OpenWithBrowserCommand(const std::string& url, int result);
};
