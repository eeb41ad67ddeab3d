#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>

// Every user setting, read once at start and written once at exit; dialogs and commands change the
// variables in between. Names follow the stored value names.
struct AppSettings {
    // "BoardsPlacement"
    static inline int layerboardLeft = 115;
    static inline int layerboardRight = 574;
    static inline int layerboardTop = 54;
    static inline int layerboardBottom = 513;
    static inline int TailleFonte = 51;
    static inline int ToolBarLeft = 676;
    static inline int ToolBarRight = 829;
    static inline int ToolBarTop = 54;
    static inline int ToolBarBottom = 411;
    static inline int TextPlacementLeft = 64;
    static inline int TextPlacementRight = 1033;
    static inline int TextPlacementTop = 513;
    static inline int TextPlacementBottom = 564;
    // "FTPPreferences"
    static inline int FileFormat = 450;
    // "PrintPreferences"
    static inline std::string Lang;
    static inline uint8_t Langindex = 8;
    // "Display"
    static inline int WidePlacement = 327;
    static inline int HeightPlacement = 123;
    static inline int WindowWide = 1220;
    static inline int WindowHeight = 790;
    static inline uint8_t TransparentWindowsFlag = 0;
    static inline uint8_t Blend = 190;
    static inline uint8_t RValueBoard = 128;
    static inline uint8_t GValueBoard = 0;
    static inline uint8_t BValueBoard = 255;
    static inline uint8_t Texture = 1;
    static inline uint8_t RValueFond = 255;
    static inline uint8_t GValueFond = 255;
    static inline uint8_t BValueFond = 255;
    // "Fen"
    static inline uint8_t LegalPosition = 1;
    static inline uint8_t DeleteWarning = 0;
    static inline uint8_t IntelligentMouse = 1;
    // "PrintPreferences"
    static inline uint8_t MonoMultiDiagPrint = 0;
    static inline uint8_t SizeDiag = 1;
    static inline uint8_t PrintComment = 1;
    static inline uint8_t PrintCoords = 1;
    static inline uint8_t PrintActiveColor = 1;
    static inline uint8_t PrintPageNumber = 0;
    static inline uint8_t PNGSaveCoords = 1;
    static inline uint8_t SaveTtansparent = 0;
    // "Display"
    static inline uint8_t FontFaceName = 2;
    // "PrintPreferences"
    static inline uint8_t Border = 0;

    static constexpr int SettingCount = 42;
    // Sets every variable back to its default (a fresh start, and tests).
    static void RestoreDefaults();
    // Reads all settings from the profile store, in their table order.
    static void ReadAll();
    // Writes all settings back, in the order of the exit. False when the store could not be written:
    // `file` then names it and `reason` says why.
    static bool WriteAll(std::string* file = nullptr, std::string* reason = nullptr);
    // Sets the values of one section back to their defaults.
    static void RestoreSectionDefaults(const std::string& section);
    // The smallest square size the board can be drawn and edited with.
    static constexpr int MinimumSquareSize = 10;
    // The largest: a board of 9 such squares is 3600 pixels, more than nearly any screen shows, its
    // glyphs are still drawn quickly, and its picture stays under 40 MB.
    static constexpr int MaximumSquareSize = 400;
    // The square size of a board picture of `pixels` (with or without its coordinates), as "Define the
    // size of the diagrams" makes it.
    static constexpr int SquareSizeForPicture(int pixels, bool withCoordinates)
    {
        return withCoordinates ? pixels / 9 : (2 * pixels) / 17;
    }
    // The picture sizes whose square size lies between the smallest and the largest.
    static constexpr int MinimumPictureSize(bool withCoordinates)
    {
        return withCoordinates ? 9 * MinimumSquareSize : (17 * MinimumSquareSize + 1) / 2;
    }
    static constexpr int MaximumPictureSize(bool withCoordinates)
    {
        return withCoordinates ? 9 * MaximumSquareSize + 8 : (17 * (MaximumSquareSize + 1) - 1) / 2;
    }
};

// Run-time values derived from the settings.
struct SettingsState {
    static inline bool legalCheckActive = true;
    static inline bool legalSuspendedByFile = false;
    static inline Win32::COLORREF piecesColour = 0;
    static inline Win32::COLORREF backgroundColour = 0;
    static inline int currentTexture = 1;
    static inline std::string currentFileName;
    static inline std::string correctionStatusText;
};
