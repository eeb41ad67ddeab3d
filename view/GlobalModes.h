#pragma once

// Editing modes shared by the view, the frame and the dialogs.
struct GlobalModes {
    static inline bool editorMode = false;
    static inline bool editorStarted = false;
    static inline bool colourMarksMode = false;
    static inline bool numbersMode = false;
    static inline bool fairyMode = false;
    static inline bool correctionMode = false;
    static inline bool mergeMode = false;
    static inline bool transparentNow = false;
    static inline bool bnxCopyPending = false;
    static inline bool pastedBlackToMove = false;
    // The palette's current piece: a chess-font letter, or a digit in numbers mode.
    static inline char currentPiece = 'k';
    // Mouse editing: the MarkType of a number mark, whether the last left press in editor mode was on
    // the board, the piece last shown as selected in the palette and the letter a square held before the
    // last put.
    static inline unsigned char currentNumber = '1';
    static inline bool mouseEdit = false;
    static inline char paletteShownPiece = 'k';
    static inline char savedSquareLetter = ' ';
    // A point the right-button handlers leave for the Home key (screen coordinates).
    static inline int homeKeyX = 0;
    static inline int homeKeyY = 0;

    static void Reset()
    {
        editorMode = editorStarted = colourMarksMode = numbersMode = fairyMode = false;
        correctionMode = mergeMode = transparentNow = bnxCopyPending = pastedBlackToMove = false;
        currentPiece = 'k';
        currentNumber = '1';
        mouseEdit = false;
        paletteShownPiece = 'k';
        savedSquareLetter = ' ';
        homeKeyX = homeKeyY = 0;
    }
};
