#include "app/CTrueColorToolBar.h"
#include "dialogs/CPreferences.h"
#include "platform/ColourDialog.h"
#include "platform/Commands.h"
#include "platform/Modal.h"
#include "tests/support/TestEnvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

using namespace Win32;

namespace {

using FrameTest = ProgramTest;

template <class T> T* Control(CDialog& d, int id)
{
    return d.findChild<T*>(QString("IDC_%1").arg(id));
}

TEST_F(FrameTest, FirstRunPlacementAndSavedRectangle)
{
    CMainFrame& frame = Frame();
    EXPECT_EQ(frame.pos(), QPoint(327, 123));
    EXPECT_EQ(frame.size(), QSize(1220, 790));
    frame.move(40, 50);
    frame.SavePlacement();
    EXPECT_EQ(AppSettings::WidePlacement, 40);
    EXPECT_EQ(AppSettings::HeightPlacement, 50);
    EXPECT_EQ(AppSettings::WindowWide, 1220);
}

TEST_F(FrameTest, NoSavedLeftEdgeLetsTheSystemPlaceTheWindow)
{
    AppSettings::WidePlacement = 0;
    Frame();
    EXPECT_EQ(AppSettings::WidePlacement, 1);
}

TEST_F(FrameTest, TransparentModeHidesTheTextureAndBringsItBack)
{
    SettingsState::currentTexture = 3;
    CMainFrame& frame = Frame();
    SettingsState::currentTexture = 3; // chalk, as chosen at start
    frame.OnTransparentMode();
    EXPECT_TRUE(GlobalModes::transparentNow);
    EXPECT_EQ(SettingsState::currentTexture, 0);
    EXPECT_NEAR(frame.windowOpacity(), 190 / 255.0, 0.01);
    EXPECT_TRUE(frame.windowFlags() & Qt::WindowStaysOnTopHint);
    frame.OnTransparentMode();
    EXPECT_FALSE(GlobalModes::transparentNow);
    EXPECT_EQ(SettingsState::currentTexture, 3);
    frame.OnTransparentMode();
    frame.SavePlacement();
    EXPECT_EQ(AppSettings::TransparentWindowsFlag, 1);
}

TEST_F(FrameTest, StartsTransparentWhenItEndedSo)
{
    AppSettings::TransparentWindowsFlag = 1;
    Frame();
    EXPECT_TRUE(GlobalModes::transparentNow);
    EXPECT_EQ(SettingsState::currentTexture, 0);
}

TEST_F(FrameTest, ToolBarHasItsButtonsAndTheColourDropDown)
{
    CMainFrame& frame = Frame();
    CTrueColorToolBar* bar = frame.ToolBar();
    int buttons = 0;
    for (QAction* a : bar->actions())
        if (!a->isSeparator()) ++buttons;
    EXPECT_EQ(buttons, 25);
    QImage strip = CTrueColorToolBar::Strip(0);
    EXPECT_EQ(strip.size(), QSize(400, 16));
    QImage cell = CTrueColorToolBar::ButtonImage(strip, 0);
    EXPECT_EQ(qAlpha(cell.pixel(0, 15)), 0); // the mask colour is transparent
    bar->OnMenuButtonDrop(32819);
    EXPECT_TRUE(GlobalModes::colourMarksMode);
}

TEST_F(FrameTest, HomeKeyJumpsOnlyBelowTheTitleRow)
{
    CMainFrame& frame = Frame();
    GlobalModes::homeKeyX = 100;
    GlobalModes::homeKeyY = 20;
    QPoint before = frame.pos();
    frame.OnKeyHome();
    EXPECT_EQ(frame.pos(), before);
    GlobalModes::homeKeyY = 200;
    frame.OnKeyHome();
    EXPECT_EQ(frame.size(), QSize(500, 500));
    EXPECT_EQ(GlobalModes::homeKeyY, 0);
}

TEST_F(FrameTest, PreferencesOkWritesEverySettingBack)
{
    CMainFrame& frame = Frame();
    AppSettings::PrintCoords = 2;
    DialogScript dialogs;
    colourChooserScript = [](COLORREF& c) {
        c = RGB(10, 20, 30);
        return true;
    };
    dialogs.Then([](CDialog& d) {
        EXPECT_TRUE(Control<QRadioButton>(d, 1013)->isChecked());
        EXPECT_FALSE(Control<QRadioButton>(d, 1016)->isEnabled());
        EXPECT_TRUE(Control<QCheckBox>(d, 1049)->isChecked());
        Control<QPushButton>(d, 1000)->click(); // other pieces colour
        Control<QRadioButton>(d, 1014)->click();
        EXPECT_TRUE(Control<QRadioButton>(d, 1016)->isEnabled());
        EXPECT_TRUE(Control<QRadioButton>(d, 1016)->isChecked()); // Normal, the current size
        Control<QRadioButton>(d, 1015)->click();
        Control<QCheckBox>(d, 1033)->setChecked(false); // no coordinates: upper case no longer counts
        EXPECT_FALSE(Control<QCheckBox>(d, 1049)->isEnabled());
        Control<QSlider>(d, 1002)->setValue(60);
        return int(IDOK);
    });
    frame.OnPreferences();
    colourChooserScript = nullptr;
    EXPECT_EQ(SettingsState::piecesColour, RGB(10, 20, 30));
    EXPECT_EQ(AppSettings::GValueBoard, 20);
    EXPECT_EQ(AppSettings::MonoMultiDiagPrint, 1);
    EXPECT_EQ(AppSettings::SizeDiag, 2);
    EXPECT_EQ(AppSettings::PrintCoords, 0);
    EXPECT_EQ(AppSettings::Blend, 128);
}

TEST_F(FrameTest, PreferencesCancelKeepsEverySetting)
{
    CMainFrame& frame = Frame();
    DialogScript dialogs;
    colourChooserScript = [](COLORREF& c) {
        c = RGB(1, 2, 3);
        return true;
    };
    dialogs.Then([](CDialog& d) {
        Control<QPushButton>(d, 1003)->click();
        Control<QPushButton>(d, 1003)->click();
        Control<QPushButton>(d, 1005)->click(); // back to the colour the dialog opened with
        Control<QCheckBox>(d, 1006)->click();
        Control<QCheckBox>(d, 1022)->click();
        Control<QCheckBox>(d, 1038)->click();
        return int(IDCANCEL);
    });
    frame.OnPreferences();
    colourChooserScript = nullptr;
    EXPECT_EQ(SettingsState::backgroundColour, RGB(255, 255, 255));
    EXPECT_EQ(AppSettings::LegalPosition, 1);
    EXPECT_EQ(AppSettings::DeleteWarning, 0);
    EXPECT_EQ(AppSettings::IntelligentMouse, 1);
    EXPECT_TRUE(SettingsState::legalCheckActive);
}

TEST_F(FrameTest, LegalityAndDeleteWarningBoxesTakeEffectOnOkAndTheDialogShowsThemNext)
{
    CMainFrame& frame = Frame();
    DialogScript dialogs;
    dialogs.Then([](CDialog& d) {
        Control<QCheckBox>(d, 1006)->click();
        Control<QCheckBox>(d, 1022)->click();
        // Clicked, not yet applied: the program is as it was until OK.
        EXPECT_EQ(AppSettings::LegalPosition, 1);
        EXPECT_EQ(AppSettings::DeleteWarning, 0);
        return int(IDOK);
    });
    bool shownAsApplied = false;
    dialogs.Then([&](CDialog& d) {
        shownAsApplied
            = !Control<QCheckBox>(d, 1006)->isChecked() && Control<QCheckBox>(d, 1022)->isChecked();
        return int(IDCANCEL);
    });
    frame.OnPreferences();
    EXPECT_EQ(AppSettings::LegalPosition, 0);
    EXPECT_EQ(AppSettings::DeleteWarning, 1);
    EXPECT_FALSE(SettingsState::legalCheckActive);
    frame.OnPreferences();
    EXPECT_TRUE(shownAsApplied);
}

TEST_F(FrameTest, PreferencesInFairyModeChangeOnlyTheStateLeavingItRestores)
{
    struct Case {
        int legalAtStart;
        bool clickLegal; // the box is flipped in the dialog
        bool checksAfterFairy;
    };
    for (Case c : { Case { 1, true, false }, Case { 0, true, true }, Case { 1, false, true } }) {
        SetUp();
        AppSettings::FontFaceName = 2; // "Varnok Fairy"
        AppSettings::LegalPosition = static_cast<uint8_t>(c.legalAtStart);
        SettingsState::legalCheckActive = c.legalAtStart != 0;
        frame.reset();
        CMainFrame& f = Frame();
        View().OnFairyMode();
        ASSERT_TRUE(GlobalModes::fairyMode);
        ASSERT_FALSE(SettingsState::legalCheckActive);
        DialogScript dialogs;
        dialogs.Then([&](CDialog& d) {
            if (c.clickLegal) Control<QCheckBox>(d, 1006)->click();
            return int(IDOK);
        });
        f.OnPreferences();
        EXPECT_FALSE(SettingsState::legalCheckActive) << "fairy positions are never checked";
        View().OnFairyMode();
        EXPECT_EQ(SettingsState::legalCheckActive, c.checksAfterFairy) << c.legalAtStart << c.clickLegal;
        EXPECT_EQ(AppSettings::LegalPosition, c.checksAfterFairy ? 1 : 0);
    }
}

TEST_F(FrameTest, PreferencesUnderATextureKeepTheConfiguredBackground)
{
    AppSettings::Texture = 1;
    AppSettings::RValueFond = 200;
    AppSettings::GValueFond = 220;
    AppSettings::BValueFond = 240;
    CMainFrame& frame = Frame();
    ASSERT_EQ(SettingsState::backgroundColour, RGB(255, 255, 255)); // the texture's white in effect
    DialogScript dialogs;
    COLORREF shown = 0;
    dialogs.Then([&](CDialog& d) {
        shown = static_cast<CPreferences&>(d).m_crBackground;
        return int(IDOK);
    });
    frame.OnPreferences();
    EXPECT_EQ(shown, RGB(200, 220, 240)) << "the dialog shows the colour the user chose";
    EXPECT_EQ(AppSettings::RValueFond, 200);
    EXPECT_EQ(AppSettings::GValueFond, 220);
    EXPECT_EQ(AppSettings::BValueFond, 240);
    EXPECT_EQ(SettingsState::backgroundColour, RGB(255, 255, 255));

    // A colour chosen in the dialog is both stored and in effect.
    colourChooserScript = [](COLORREF& c) {
        c = RGB(10, 20, 30);
        return true;
    };
    dialogs.Then([](CDialog& d) {
        Control<QPushButton>(d, 1003)->click();
        return int(IDOK);
    });
    frame.OnPreferences();
    colourChooserScript = nullptr;
    EXPECT_EQ(AppSettings::GValueFond, 20);
    EXPECT_EQ(SettingsState::backgroundColour, RGB(10, 20, 30));
}

} // namespace

#include "app/ProgramIcon.h"

namespace {

TEST(ProgramIconTest, IsAKnightOfTheChessFont)
{
    QImage image = ProgramIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(image.isNull());
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) ++dark;
    EXPECT_GT(dark, 30);
}

} // namespace
