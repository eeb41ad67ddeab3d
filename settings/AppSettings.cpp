#include "AppSettings.h"

#include "platform/Profile.h"

#include <variant>

namespace {

struct IntSetting {
    int* value;
    int defaultValue;
    int minimum;
    int maximum;
};
struct ByteSetting {
    uint8_t* value;
    uint8_t defaultValue;
    int minimum;
    int maximum;
};
struct StringSetting {
    std::string* value;
};
struct Setting {
    const char* section;
    const char* name;
    std::variant<IntSetting, ByteSetting, StringSetting> slot;
};

constexpr int noLimit = 0x7FFFFFFF;
using S = AppSettings;

// In the order the settings are read at start.
const Setting settings[S::SettingCount] = {
    { "BoardsPlacement", "layerboardLeft", IntSetting { &S::layerboardLeft, 115, -noLimit, noLimit } },
    { "BoardsPlacement", "layerboardRight", IntSetting { &S::layerboardRight, 574, -noLimit, noLimit } },
    { "BoardsPlacement", "layerboardTop", IntSetting { &S::layerboardTop, 54, -noLimit, noLimit } },
    { "BoardsPlacement", "layerboard Bottom", IntSetting { &S::layerboardBottom, 513, -noLimit, noLimit } },
    { "BoardsPlacement", "TailleFonte",
        IntSetting { &S::TailleFonte, 51, S::MinimumSquareSize, S::MaximumSquareSize } },
    { "BoardsPlacement", "ToolBarLeft", IntSetting { &S::ToolBarLeft, 676, -noLimit, noLimit } },
    { "BoardsPlacement", "ToolBarRight", IntSetting { &S::ToolBarRight, 829, -noLimit, noLimit } },
    { "BoardsPlacement", "ToolBarTop", IntSetting { &S::ToolBarTop, 54, -noLimit, noLimit } },
    { "BoardsPlacement", "ToolBarBottom", IntSetting { &S::ToolBarBottom, 411, -noLimit, noLimit } },
    { "BoardsPlacement", "TextPlacementLeft", IntSetting { &S::TextPlacementLeft, 64, -noLimit, noLimit } },
    { "BoardsPlacement", "TextPlacementRight",
        IntSetting { &S::TextPlacementRight, 1033, -noLimit, noLimit } },
    { "BoardsPlacement", "TextPlacementTop", IntSetting { &S::TextPlacementTop, 513, -noLimit, noLimit } },
    { "BoardsPlacement", "TextPlacementBottom",
        IntSetting { &S::TextPlacementBottom, 564, -noLimit, noLimit } },
    // Narrowed by PNGSaveCoords once that is read.
    { "FTPPreferences", "FileFormat",
        IntSetting { &S::FileFormat, 450, S::MinimumPictureSize(false), S::MaximumPictureSize(true) } },
    { "PrintPreferences", "Lang", StringSetting { &S::Lang } },
    { "PrintPreferences", "Langindex", ByteSetting { &S::Langindex, 8, 0, 21 } },
    { "Display", "WidePlacement", IntSetting { &S::WidePlacement, 327, -noLimit, noLimit } },
    { "Display", "HeightPlacement", IntSetting { &S::HeightPlacement, 123, -noLimit, noLimit } },
    { "Display", "WindowWide", IntSetting { &S::WindowWide, 1220, 0, noLimit } },
    { "Display", "WindowHeight", IntSetting { &S::WindowHeight, 790, 0, noLimit } },
    { "Display", "TransparentWindowsFlag", ByteSetting { &S::TransparentWindowsFlag, 0, 0, 1 } },
    { "Display", "Blend", ByteSetting { &S::Blend, 190, 128, 255 } },
    { "Display", "RValueBoard", ByteSetting { &S::RValueBoard, 128, 0, 255 } },
    { "Display", "GValueBoard", ByteSetting { &S::GValueBoard, 0, 0, 255 } },
    { "Display", "BValueBoard", ByteSetting { &S::BValueBoard, 255, 0, 255 } },
    { "Display", "Texture", ByteSetting { &S::Texture, 1, 0, 3 } },
    { "Display", "RValueFond ", ByteSetting { &S::RValueFond, 255, 0, 255 } },
    { "Display", "GValueFond", ByteSetting { &S::GValueFond, 255, 0, 255 } },
    { "Display", "BValueFond", ByteSetting { &S::BValueFond, 255, 0, 255 } },
    { "Fen", "LegalPosition", ByteSetting { &S::LegalPosition, 1, 0, 1 } },
    { "Fen", "DeleteWarning", ByteSetting { &S::DeleteWarning, 0, 0, 1 } },
    { "Fen", "IntelligentMouse", ByteSetting { &S::IntelligentMouse, 1, 0, 1 } },
    { "PrintPreferences", "MonoMultiDiagPrint", ByteSetting { &S::MonoMultiDiagPrint, 0, 0, 1 } },
    { "PrintPreferences", "SizeDiag", ByteSetting { &S::SizeDiag, 1, 0, 2 } },
    { "PrintPreferences", "PrintComment", ByteSetting { &S::PrintComment, 1, 0, 1 } },
    { "PrintPreferences", "PrintCoords", ByteSetting { &S::PrintCoords, 1, 0, 2 } },
    { "PrintPreferences", "PrintActiveColor", ByteSetting { &S::PrintActiveColor, 1, 0, 1 } },
    { "PrintPreferences", "PrintPageNumber", ByteSetting { &S::PrintPageNumber, 0, 0, 1 } },
    { "PrintPreferences", "PNGSaveCoords", ByteSetting { &S::PNGSaveCoords, 1, 0, 1 } },
    { "PrintPreferences", "SaveTtansparent", ByteSetting { &S::SaveTtansparent, 0, 0, 1 } },
    { "Display", "FontFaceName", ByteSetting { &S::FontFaceName, 2, 0, 17 } },
    { "PrintPreferences", "Border", ByteSetting { &S::Border, 0, 0, 1 } },
};

const Setting& Named(const char* name)
{
    for (const Setting& s : settings)
        if (std::string(s.name) == name) return s;
    return settings[0];
}

void Write(const Setting& s)
{
    std::visit(
        [&s](const auto& slot) {
            using T = std::decay_t<decltype(slot)>;
            if constexpr (std::is_same_v<T, StringSetting>)
                Profile::WriteProfileString(s.section, s.name, *slot.value);
            else
                Profile::WriteProfileInt(s.section, s.name, static_cast<int>(*slot.value));
        },
        s.slot);
}

// The order of the exit: what the frame and view give back first, the rest by section.
constexpr const char* writeOrder[S::SettingCount] = { "Blend", "RValueBoard", "GValueBoard", "BValueBoard",
    "BValueFond", "GValueFond", "RValueFond ", "Texture", "WidePlacement", "HeightPlacement", "WindowWide",
    "WindowHeight", "TransparentWindowsFlag", "layerboardLeft", "layerboardRight", "layerboardTop",
    "layerboard Bottom", "TailleFonte", "ToolBarLeft", "ToolBarRight", "ToolBarTop", "ToolBarBottom",
    "TextPlacementLeft", "TextPlacementRight", "TextPlacementTop", "TextPlacementBottom", "LegalPosition",
    "DeleteWarning", "IntelligentMouse", "MonoMultiDiagPrint", "SizeDiag", "PrintComment", "PrintCoords",
    "PrintActiveColor", "PrintPageNumber", "PNGSaveCoords", "SaveTtansparent", "Border", "FontFaceName",
    "Lang", "Langindex", "FileFormat" };

} // namespace

void AppSettings::RestoreDefaults()
{
    for (const char* section : { "BoardsPlacement", "FTPPreferences", "PrintPreferences", "Display", "Fen" })
        RestoreSectionDefaults(section);
}

void AppSettings::ReadAll()
{
    for (const Setting& s : settings) {
        std::visit(
            [&s](const auto& slot) {
                using T = std::decay_t<decltype(slot)>;
                if constexpr (std::is_same_v<T, StringSetting>) {
                    *slot.value = Profile::GetProfileString(s.section, s.name, "");
                } else {
                    // A stored value outside what the setting can mean would be used unchecked by the
                    // drawing, the font table or the dialogs: such a value gives the default instead.
                    int v = Profile::GetProfileInt(s.section, s.name, slot.defaultValue);
                    if (v < slot.minimum || v > slot.maximum) v = slot.defaultValue;
                    *slot.value = static_cast<std::remove_pointer_t<decltype(slot.value)>>(v);
                }
            },
            s.slot);
        if (std::string(s.name) == "LegalPosition") SettingsState::legalCheckActive = LegalPosition != 0;
    }
    // The picture size must give a square size the size command would accept.
    const bool coordinates = PNGSaveCoords != 0;
    if (FileFormat < MinimumPictureSize(coordinates) || FileFormat > MaximumPictureSize(coordinates))
        FileFormat = 450;
}

void AppSettings::RestoreSectionDefaults(const std::string& section)
{
    for (const Setting& s : settings) {
        if (section != s.section) continue;
        std::visit(
            [](const auto& slot) {
                using T = std::decay_t<decltype(slot)>;
                if constexpr (std::is_same_v<T, StringSetting>)
                    slot.value->clear();
                else
                    *slot.value = slot.defaultValue;
            },
            s.slot);
    }
}

bool AppSettings::WriteAll(std::string* file, std::string* reason)
{
    // A file header may switch the checks off for one run; it never turns the setting off for good.
    if (SettingsState::legalSuspendedByFile) LegalPosition = 1;
    for (const char* name : writeOrder) Write(Named(name));
    return Profile::Flush(file, reason);
}
