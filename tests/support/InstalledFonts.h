#pragma once

#include "platform/ChessFontTable.h"
#include "platform/Registry.h"

#include <vector>

// While it lives, every face of the chess-font table is listed as installed, so the program takes a
// stored font as the one to draw with, whether or not this machine has it; build the frame meanwhile.
struct EveryChessFontInstalled {
    EveryChessFontInstalled()
    {
        std::vector<RegistryValue> fonts;
        for (int i = 0; i < ChessFontCount; ++i)
            fonts.push_back({ ChessFontFaceName(i) + " (TrueType)", "chess" + std::to_string(i) + ".ttf" });
        registry.SetKey(HKEY_LOCAL_MACHINE, FontsKey, fonts);
    }
    RegistryScript registry;
};
