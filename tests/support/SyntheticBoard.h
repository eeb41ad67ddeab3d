#pragma once

#include "picture/CxImage.h"

// Fills image with a 24-bit picture that looks like a captured board: a frame shaded from top to bottom,
// eight by eight squares in two colours, round pieces in black and white with outlines and a few
// coloured squares. Repeatable: the same size always gives the same pixels. False when the image
// cannot be created (its last error says why).
bool makeBoardLikeImage(CxImage& image, int32_t width, int32_t height);
