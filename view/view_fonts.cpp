#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "dialogs/CDialogChangeFont.h"
#include "platform/ChessFontTable.h"
#include "platform/Commands.h"
#include "platform/Strings.h"
#include "positions/BoardLetters.h"
#include "res/CommandIds.h"
#include "settings/AppSettings.h"

using M = GlobalModes;

void CPlaviaView::OnChessFonts()
{
    if (M::fairyMode) return;
    CDialogChangeFont dialog(this);
    dialog.m_szHelpPath = HelpPath;
    dialog.m_nCurrentFont = AppSettings::FontFaceName;
    if (dialog.DoModal() != IDOK) return;
    // OK without a chosen font changes nothing rather than storing a font index that names no font.
    if (dialog.m_nFontIndex < 0 || dialog.m_nFontIndex >= ChessFontCount) return;
    SelectChessFont(dialog.m_nFontIndex);
}

void CPlaviaView::SelectChessFont(int index)
{
    AppSettings::FontFaceName = static_cast<uint8_t>(index);
    m_nFontIndex = index;
    m_strFontFace = ChessFontFaceName(index);
    const bool family2 = UsesLetterFamily2(index);
    m_nFontCharset = AppSettings::FontFaceName > 2 ? 2 : 0;
    if (family2 != m_bLetterFamily2) {
        m_bLetterFamily2 = family2;
        M::currentPiece = ConvertLetterFamily(M::currentPiece);
        for (FontRow& row : m_displayRows) {
            row[0] = BoardLetters::LeftBorder(family2);
            row[9] = BoardLetters::RightBorder(family2);
        }
        OnCopyRtf();
    }
    InvalidateAll(true);
}

void CPlaviaView::RegisterFontCommands()
{
    CommandRouter::Instance().Register(
        this, CommandId::ChessFonts, [this] { OnChessFonts(); },
        [](CCmdUI& ui) { ui.Enable(!M::fairyMode); });
}
