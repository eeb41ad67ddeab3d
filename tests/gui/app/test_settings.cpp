#include "app/CPlaviaApp.h"
#include "platform/Strings.h"
#include "tests/support/TestEnvironment.h"

#include <QSettings>

namespace {

QSettings Store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Oskeld free chess software", "Brennix");
}

using SettingsTest = ProgramTest;

TEST_F(SettingsTest, EmptyStoreGivesDefaultsAndExitWritesEveryName)
{
    AppSettings::Blend = 3; // anything read must come from the store or its default
    AppSettings::ReadAll();
    EXPECT_EQ(AppSettings::Blend, 190);
    EXPECT_EQ(AppSettings::layerboardBottom, 513);
    EXPECT_EQ(AppSettings::TailleFonte, 51);
    EXPECT_EQ(AppSettings::TextPlacementRight, 1033);
    EXPECT_EQ(AppSettings::FileFormat, 450);
    EXPECT_EQ(AppSettings::Langindex, 8);
    EXPECT_EQ(AppSettings::FontFaceName, 2);
    EXPECT_EQ(AppSettings::Texture, 1);
    EXPECT_EQ(AppSettings::RValueBoard, 128);
    EXPECT_EQ(AppSettings::PrintCoords, 1);
    EXPECT_EQ(AppSettings::DeleteWarning, 0);
    EXPECT_TRUE(AppSettings::Lang.empty());
    EXPECT_TRUE(SettingsState::legalCheckActive);

    AppSettings::WriteAll();
    QSettings store = Store();
    const std::pair<const char*, const char*> names[] = { { "BoardsPlacement", "layerboardLeft" },
        { "BoardsPlacement", "layerboardRight" }, { "BoardsPlacement", "layerboardTop" },
        { "BoardsPlacement", "layerboard Bottom" }, { "BoardsPlacement", "TailleFonte" },
        { "BoardsPlacement", "ToolBarLeft" }, { "BoardsPlacement", "ToolBarRight" },
        { "BoardsPlacement", "ToolBarTop" }, { "BoardsPlacement", "ToolBarBottom" },
        { "BoardsPlacement", "TextPlacementLeft" }, { "BoardsPlacement", "TextPlacementRight" },
        { "BoardsPlacement", "TextPlacementTop" }, { "BoardsPlacement", "TextPlacementBottom" },
        { "FTPPreferences", "FileFormat" }, { "PrintPreferences", "Lang" },
        { "PrintPreferences", "Langindex" }, { "Display", "WidePlacement" }, { "Display", "HeightPlacement" },
        { "Display", "WindowWide" }, { "Display", "WindowHeight" }, { "Display", "TransparentWindowsFlag" },
        { "Display", "Blend" }, { "Display", "RValueBoard" }, { "Display", "GValueBoard" },
        { "Display", "BValueBoard" }, { "Display", "Texture" }, { "Display", "RValueFond " },
        { "Display", "GValueFond" }, { "Display", "BValueFond" }, { "Fen", "LegalPosition" },
        { "Fen", "DeleteWarning" }, { "Fen", "IntelligentMouse" },
        { "PrintPreferences", "MonoMultiDiagPrint" }, { "PrintPreferences", "SizeDiag" },
        { "PrintPreferences", "PrintComment" }, { "PrintPreferences", "PrintCoords" },
        { "PrintPreferences", "PrintActiveColor" }, { "PrintPreferences", "PrintPageNumber" },
        { "PrintPreferences", "PNGSaveCoords" }, { "PrintPreferences", "SaveTtansparent" },
        { "Display", "FontFaceName" }, { "PrintPreferences", "Border" } };
    ASSERT_EQ(std::size(names), 42u);
    for (auto [section, name] : names)
        EXPECT_TRUE(store.contains(QString(section) + "/" + name)) << section << "/" << name;
    EXPECT_EQ(store.allKeys().size(), 42);
    EXPECT_EQ(store.value("Display/RValueFond ").toInt(), 255);
    EXPECT_FALSE(store.contains("Display/RValueFond"));
    for (const char* unused : { "HostName", "UserName", "Password", "URLName", "PasswordSave" })
        for (const QString& key : store.allKeys()) EXPECT_FALSE(key.endsWith(unused)) << key.toStdString();
}

struct StoredCase {
    const char* name;
    const char* key;
    int stored;
    int expected;
};
void PrintTo(const StoredCase& c, std::ostream* out)
{
    *out << c.name;
}

class StoredValues : public SettingsTest, public ::testing::WithParamInterface<StoredCase> { };

// Values outside what a setting can mean fall back to the default instead of being used.
TEST_P(StoredValues, OutOfRangeGivesDefault)
{
    const StoredCase& c = GetParam();
    {
        QSettings store = Store();
        store.setValue(c.key, c.stored);
    }
    Profile::SetRegistryKey("Oskeld free chess software", "Brennix");
    AppSettings::ReadAll();
    int value = 0;
    std::string key = c.key;
    if (key == "Display/Blend")
        value = AppSettings::Blend;
    else if (key == "Display/FontFaceName")
        value = AppSettings::FontFaceName;
    else if (key == "Display/Texture")
        value = AppSettings::Texture;
    else if (key == "PrintPreferences/SizeDiag")
        value = AppSettings::SizeDiag;
    else if (key == "BoardsPlacement/TailleFonte")
        value = AppSettings::TailleFonte;
    else if (key == "Display/RValueBoard")
        value = AppSettings::RValueBoard;
    EXPECT_EQ(value, c.expected) << c.key;
}

INSTANTIATE_TEST_SUITE_P(Table, StoredValues,
    ::testing::Values(StoredCase { "BlendTooHigh", "Display/Blend", 300, 190 },
        StoredCase { "BlendTooLow", "Display/Blend", 100, 190 },
        StoredCase { "BlendInRange", "Display/Blend", 200, 200 },
        StoredCase { "FontFaceNameBeyondTable", "Display/FontFaceName", 18, 2 },
        StoredCase { "FontFaceNameLast", "Display/FontFaceName", 17, 17 },
        StoredCase { "TextureUnknown", "Display/Texture", 4, 1 },
        StoredCase { "SizeDiagUnknown", "PrintPreferences/SizeDiag", 3, 1 },
        StoredCase { "TailleFonteTooSmall", "BoardsPlacement/TailleFonte", 9, 51 },
        StoredCase { "TailleFonteSmallest", "BoardsPlacement/TailleFonte", 10, 10 },
        StoredCase { "TailleFonteLargest", "BoardsPlacement/TailleFonte", 400, 400 },
        StoredCase { "TailleFonteTooLarge", "BoardsPlacement/TailleFonte", 401, 51 },
        StoredCase { "TailleFonteLargestInt", "BoardsPlacement/TailleFonte", 2147483647, 51 },
        StoredCase { "RValueBoardTooHigh", "Display/RValueBoard", 256, 128 },
        StoredCase { "RValueBoardZero", "Display/RValueBoard", 0, 0 }),
    [](const ::testing::TestParamInfo<StoredCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, FileHeaderNeverTurnsLegalityOffForGood)
{
    AppSettings::LegalPosition = 0;
    SettingsState::legalSuspendedByFile = true;
    AppSettings::WriteAll();
    EXPECT_EQ(Store().value("Fen/LegalPosition").toInt(), 1);
}

TEST_F(SettingsTest, ProgramStartsAndExitsWritingItsSettings)
{
    {
        QSettings store = Store();
        store.setValue("BoardsPlacement/TailleFonte", 40);
        store.setValue("Display/Texture", 2);
    }
    CPlaviaApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.MainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "No Name - Brennix 4.3");
    CPlaviaView* view = frame->View();
    EXPECT_EQ(view->m_nSquareSize, 40);
    EXPECT_EQ(view->DiagramCount(), 1);
    SettingsState::currentTexture = 0; // as the texture command would leave it
    view->m_rectBoard.left = 140;
    app.ExitInstance();
    QSettings store = Store();
    EXPECT_EQ(store.value("BoardsPlacement/TailleFonte").toInt(), 40);
    EXPECT_EQ(store.value("BoardsPlacement/layerboardLeft").toInt(), 140);
    EXPECT_EQ(store.value("Display/Texture").toInt(), 0);
    EXPECT_EQ(store.allKeys().size(), 42);
}

// A message is filled in one pass: a file name that holds "%2" is shown as it is.
TEST(Messages, ArgumentsAreFilledInOnePass)
{
    EXPECT_EQ(FormatString(41000, { "/a/%2b.ini", "why" }),
        "The settings could not be written to /a/%2b.ini:\nwhy\nThe changes made to them in this session are "
        "lost.");
}

} // namespace
