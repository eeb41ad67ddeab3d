#pragma once

#include <QToolBar>
#include <vector>

class MenuBuilder;
class QImage;

// The tool bar with full-colour button images and drop-down buttons.
class CTrueColorToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit CTrueColorToolBar(QWidget* parent);
    // The buttons, in order, with 0 for a separator.
    static const std::vector<unsigned>& Buttons();
    // Makes the buttons; their images come from the strips of LoadImageLists.
    bool LoadToolBar(MenuBuilder& menus);
    // The three strips (normal, hot, disabled), 16 x 16 per button in button order.
    bool LoadImageLists();
    // Gives the button of `commandId` a drop-down of the colour pop-up (the four mark colours).
    void AddMenuButton(QWidget* owner, unsigned commandId, unsigned menuId);
    // What happens when the drop-down arrow is pressed.
    void OnMenuButtonDrop(unsigned commandId);
    // A button's image cut from a strip, its mask colour (the strip's lower-left pixel) made transparent.
    static QImage ButtonImage(const QImage& strip, int index);
    // The button images of a state (0 normal, 1 hot, 2 disabled) from res/images/: a strip 16 pixels
    // high, the mask colour around the pictures.
    static QImage Strip(int state);

private:
    struct stDropDownInfo {
        unsigned commandId;
        unsigned menuId;
        QWidget* owner;
    };
    bool m_bArrowStyleSet = false;
    std::vector<stDropDownInfo> m_menuButtons;
    MenuBuilder* menus = nullptr;
};
