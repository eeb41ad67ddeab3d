#include "CTrueColorToolBar.h"

#include "platform/Commands.h"
#include "platform/Strings.h"
#include "view/GlobalModes.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

const QColor maskColour(192, 192, 192);

// Our own button pictures, drawn once: one 16 x 16 cell per button.
void PaintButton(QPainter& p, unsigned id, const QColor& ink)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ink);
    p.setPen(pen);
    auto sheet = [&](int x, int y, QColor fill) {
        p.setBrush(fill);
        p.drawRect(x, y, 8, 10);
    };
    auto letter = [&](const QString& text, QColor colour, int size = 8) {
        QFont f("DejaVu Sans", 1);
        f.setPixelSize(size);
        f.setBold(true);
        p.setFont(f);
        p.setPen(colour);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
        p.setPen(pen);
    };
    auto checker = [&](bool pieces) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                p.fillRect(
                    2 + 3 * c, 2 + 3 * r, 3, 3, (r + c) % 2 ? QColor(120, 90, 60) : QColor(240, 220, 180));
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, 13, 13);
        if (pieces) {
            p.fillRect(3, 3, 2, 2, Qt::black);
            p.fillRect(9, 3, 2, 2, Qt::black);
            p.fillRect(3, 12, 2, 2, Qt::white);
            p.fillRect(9, 12, 2, 2, Qt::white);
        }
    };
    auto triangle = [&](int x, bool left) {
        QPolygon t;
        if (left)
            t << QPoint(x + 5, 3) << QPoint(x + 5, 12) << QPoint(x, 8);
        else
            t << QPoint(x, 3) << QPoint(x, 12) << QPoint(x + 5, 8);
        p.setBrush(QColor(40, 90, 170));
        p.drawPolygon(t);
    };
    switch (id) {
    case 32771: // open
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(1, 5, 13, 8);
        p.drawRect(1, 3, 5, 2);
        break;
    case 32856:
    case 57634:
    case 144:
        sheet(2, 1, Qt::white);
        sheet(6, 4, Qt::white);
        letter(id == 32856 ? "B" : id == 57634 ? "R" : "F", QColor(20, 60, 160), 7);
        break;
    case 57637: // paste
        p.setBrush(QColor(190, 140, 80));
        p.drawRect(2, 2, 11, 13);
        p.setBrush(Qt::white);
        p.drawRect(4, 5, 7, 8);
        p.fillRect(5, 1, 5, 3, ink);
        break;
    case 57607: // print
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(1, 6, 14, 6);
        p.setBrush(Qt::white);
        p.drawRect(4, 10, 8, 5);
        break;
    case 57609: // preview
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 9, 12);
        p.setBrush(QColor(180, 220, 255));
        p.drawEllipse(6, 6, 6, 6);
        p.drawLine(11, 11, 15, 15);
        break;
    case 136: // transparent window
        p.setBrush(QColor(100, 150, 220));
        p.drawRect(1, 1, 13, 13);
        p.fillRect(2, 2, 6, 12, QColor(200, 220, 245));
        break;
    case 32782: // board placement
        checker(false);
        p.drawLine(8, 0, 8, 15);
        p.drawLine(0, 8, 15, 8);
        break;
    case 32861: // diagram size
        checker(false);
        p.drawLine(4, 11, 12, 3);
        p.drawLine(12, 3, 9, 3);
        p.drawLine(12, 3, 12, 6);
        break;
    case 32779: { // editor
        QPolygon pencil;
        pencil << QPoint(2, 13) << QPoint(3, 10) << QPoint(11, 2) << QPoint(14, 5) << QPoint(6, 13);
        p.setBrush(QColor(240, 190, 60));
        p.drawPolygon(pencil);
        break;
    }
    case 101:
        checker(false);
        break;
    case 32784:
        checker(true);
        break;
    case 102: // diagram datas
        p.setBrush(Qt::white);
        p.drawRect(2, 1, 11, 14);
        letter("i", QColor(20, 60, 160), 10);
        break;
    case 32851: // black to move
        p.setBrush(Qt::black);
        p.drawEllipse(3, 3, 10, 10);
        break;
    case 32819: // coloured squares and arrows
        p.fillRect(1, 1, 7, 7, QColor(168, 241, 172));
        p.fillRect(8, 8, 7, 7, QColor(248, 166, 166));
        p.setPen(QPen(QColor(20, 60, 160), 2));
        p.drawLine(3, 12, 12, 3);
        p.setPen(pen);
        break;
    case 140: // add: a new sheet at the end
        sheet(3, 3, Qt::white);
        letter("+", QColor(0, 130, 0), 12);
        break;
    case 142: { // insert: a new sheet slid in between two others
        p.setBrush(QColor(210, 210, 210));
        p.drawRect(6, 0, 9, 4);
        p.drawRect(6, 11, 9, 4);
        p.setBrush(Qt::white);
        p.drawRect(6, 5, 9, 5);
        QPolygon wedge;
        wedge << QPoint(0, 4) << QPoint(4, 7) << QPoint(0, 11);
        p.setBrush(QColor(0, 130, 0));
        p.setPen(QColor(0, 130, 0));
        p.drawPolygon(wedge);
        p.setPen(pen);
        break;
    }
    case 143: // delete
        sheet(3, 3, Qt::white);
        letter("x", QColor(200, 0, 0), 12);
        break;
    case 32600:
        p.fillRect(2, 3, 2, 10, QColor(40, 90, 170));
        triangle(5, true);
        break;
    case 32777:
        triangle(5, true);
        break;
    case 32776:
        triangle(6, false);
        break;
    case 32778:
        triangle(6, false);
        p.fillRect(12, 3, 2, 10, QColor(40, 90, 170));
        break;
    case 57669: // context help
        letter("?", QColor(20, 60, 160), 13);
        break;
    case 197: // fairy chess
        letter("F", QColor(130, 40, 160), 12);
        p.drawEllipse(10, 1, 4, 4);
        break;
    default:
        break;
    }
}

} // namespace

CTrueColorToolBar::CTrueColorToolBar(QWidget* parent)
    : QToolBar(parent)
{
    setObjectName("AFX_IDW_TOOLBAR");
    setIconSize(QSize(16, 16));
    setMovable(true);
}

const std::vector<unsigned>& CTrueColorToolBar::Buttons()
{
    static const std::vector<unsigned> buttons
        = { 32771, 0, 32856, 57634, 144, 57637, 0, 57607, 57609, 0, 136, 32782, 32861, 0, 32779, 101, 32784,
              0, 102, 32851, 32819, 0, 142, 143, 0, 140, 32600, 32777, 32776, 32778, 0, 57669, 197 };
    return buttons;
}

QImage CTrueColorToolBar::PaintStrip(int state)
{
    QImage strip(400, 16, QImage::Format_RGB32);
    strip.fill(maskColour);
    QPainter p(&strip);
    QColor ink = state == 2 ? QColor(128, 128, 128) : state == 1 ? QColor(0, 0, 128) : QColor(0, 0, 0);
    int index = 0;
    for (unsigned id : Buttons()) {
        if (id == 0) continue;
        p.save();
        p.translate(16 * index, 0);
        p.setClipRect(0, 0, 16, 16);
        PaintButton(p, id, ink);
        p.restore();
        ++index;
    }
    p.end();
    if (state == 2) {
        // The disabled strip is a grey version of the normal one.
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < strip.width(); ++x) {
                QColor c = strip.pixelColor(x, y);
                if (c == maskColour) continue;
                int g = 128 + qGray(c.rgb()) / 2;
                strip.setPixelColor(x, y, QColor(g, g, g));
            }
    }
    return strip;
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
    const QImage strips[3] = { PaintStrip(0), PaintStrip(1), PaintStrip(2) };
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
            = { { 381, "Blue" }, { 390, "Green" }, { 391, "Red" }, { 392, "Yellow" } };
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
