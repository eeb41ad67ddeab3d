#pragma once

#include <QMainWindow>
#include <string>

class CPlaviaView;
class MenuBuilder;
class QLabel;

// The main window: hosts the view with the menus and the status bar.
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CPlaviaView* m_pView = nullptr;
    MenuBuilder* menus = nullptr;
    QLabel* pane0 = nullptr;
};
