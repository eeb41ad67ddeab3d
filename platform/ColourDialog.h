#pragma once

#include "WinTypes.h"

#include <functional>

class QWidget;

// The colour chooser: true with the chosen colour in `colour`, false when cancelled.
bool ChooseColour(QWidget* parent, COLORREF& colour);

// While set, ChooseColour asks this instead of showing the chooser (tests).
extern std::function<bool(COLORREF&)> colourChooserScript;
