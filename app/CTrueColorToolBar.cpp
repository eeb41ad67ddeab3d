#include "CTrueColorToolBar.h"

#include "platform/Commands.h"
#include "res/CommandIds.h"
#include "view/GlobalModes.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QToolButton>

CTrueColorToolBar::CTrueColorToolBar(QWidget* parent)
    : QToolBar(parent)
{
    setObjectName("AFX_IDW_TOOLBAR");
    setIconSize(QSize(16, 16));
    setMovable(true);
}

const std::vector<unsigned>& CTrueColorToolBar::Buttons()
{
    using namespace CommandId;
    static const std::vector<unsigned> buttons
        = { FileOpen, 0, CopyBnx, CopyRtf, CopyFen, EditPaste, 0, FilePrint, FilePrintPreview, 0,
              TransparentMode, BoardPlacement, DiagramSize, 0, Editor, ClearBoard, StandardStartPosition, 0,
              DiagramDatas, BlackToMoveButton, MarksMode, 0, InsertDiagram, DeleteDiagram, 0, AddDiagram,
              GoFirstDiagram, GoPreviousDiagram, GoNextDiagram, GoLastDiagram, 0, ContextHelp, FairyMode };
    return buttons;
}

QImage CTrueColorToolBar::Strip(int state)
{
    static const char* const files[3]
        = { ":/images/toolbar_normal.png", ":/images/toolbar_hot.png", ":/images/toolbar_disabled.png" };
    return QImage(files[state]).convertToFormat(QImage::Format_RGB32);
}

QImage CTrueColorToolBar::ButtonImage(const QImage& strip, int index)
{
    QImage cell = strip.copy(16 * index, 0, 16, strip.height()).convertToFormat(QImage::Format_ARGB32);
    QRgb mask = strip.pixel(0, strip.height() - 1);
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            if ((cell.pixel(x, y) & 0xFFFFFF) == (mask & 0xFFFFFF)) cell.setPixel(x, y, 0);
    return cell;
}

bool CTrueColorToolBar::LoadToolBar(MenuBuilder& builder)
{
    menus = &builder;
    for (unsigned id : Buttons()) {
        if (id == 0) {
            addSeparator();
            continue;
        }
        addAction(builder.MakeToolAction(id, QIcon(), this));
    }
    return true;
}

bool CTrueColorToolBar::LoadImageLists()
{
    const QImage strips[3] = { Strip(0), Strip(1), Strip(2) };
    int index = 0;
    const QList<QAction*> all = actions();
    for (QAction* action : all) {
        if (action->isSeparator()) continue;
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(ButtonImage(strips[0], index)), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(ButtonImage(strips[1], index)), QIcon::Active);
        icon.addPixmap(QPixmap::fromImage(ButtonImage(strips[2], index)), QIcon::Disabled);
        action->setIcon(icon);
        ++index;
    }
    return true;
}

void CTrueColorToolBar::AddMenuButton(QWidget* owner, unsigned commandId, unsigned menuId)
{
    m_bArrowStyleSet = true;
    m_menuButtons.push_back({ commandId, menuId, owner });
    for (QAction* action : actions()) {
        if (action->data().toUInt() != commandId) continue;
        auto* button = qobject_cast<QToolButton*>(widgetForAction(action));
        if (!button) continue;
        auto* popup = new QMenu(button);
        const std::pair<unsigned, const char*> colours[]
            = { { CommandId::ColourBlue, "Blue" }, { CommandId::ColourGreen, "Green" },
                  { CommandId::ColourRed, "Red" }, { CommandId::ColourYellow, "Yellow" } };
        for (auto [id, text] : colours) {
            QAction* item = popup->addAction(text);
            item->setData(id);
            item->setStatusTip(MenuBuilder::Prompt(id));
            // Captured by name: clang 14 cannot capture a structured binding.
            connect(item, &QAction::triggered, this, [this, command = id] {
                CommandRouter::Instance().Execute(command);
                if (menus) menus->UpdateAll();
            });
        }
        connect(popup, &QMenu::aboutToShow, this, [this, commandId, popup] {
            OnMenuButtonDrop(commandId);
            for (QAction* item : popup->actions()) {
                unsigned id = item->data().toUInt();
                CCmdUI ui = CommandRouter::Instance().Query(id);
                item->setCheckable(ui.checked >= 0);
                item->setChecked(ui.checked > 0);
                item->setEnabled(CommandRouter::Instance().Has(id));
            }
        });
        button->setMenu(popup);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void CTrueColorToolBar::OnMenuButtonDrop(unsigned commandId)
{
    // The marks mode is on whenever the arrow is pressed, whatever colour is then chosen.
    GlobalModes::colourMarksMode = true;
    (void)commandId;
}
