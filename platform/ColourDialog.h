#pragma once

#include "WinTypes.h"

#include <functional>

class QWidget;

// The colour chooser: true with the chosen colour in `colour`, false when cancelled.
bool ChooseColour(QWidget* parent, Win32::COLORREF& colour);

// While set, ChooseColour asks this instead of showing the chooser (tests).
extern std::function<bool(Win32::COLORREF&)> colourChooserScript;
