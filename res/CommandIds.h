#pragma once

// The program's commands. The menus and keys (res/menus/), the prompts and help topics of the string
// table and the help pages all name a command by its number, so these numbers never change.
namespace CommandId {

// File
constexpr unsigned FileNew = 31002;
constexpr unsigned FileOpen = 32771;
constexpr unsigned FileSave = 141;
constexpr unsigned FileSaveAs = 57604;
constexpr unsigned FileMerge = 32854;
constexpr unsigned ImportPgn = 200;
constexpr unsigned SaveAsPicture = 163;
constexpr unsigned SendFenMail = 164;
constexpr unsigned ChangeIndexNumber = 32775;
constexpr unsigned FilePrint = 57607;
constexpr unsigned FilePrintPreview = 57609;
constexpr unsigned FilePrintSetup = 57606;
constexpr unsigned FileExit = 158;

// Edit
constexpr unsigned CopyRtf = 57634;
constexpr unsigned CopyFen = 144;
constexpr unsigned CopyBnx = 32856;
constexpr unsigned CopyBmp = 153;
constexpr unsigned EditPaste = 57637;
constexpr unsigned CopyWithoutBorder = 198;
constexpr unsigned FontSizeForCopy = 148;
constexpr unsigned Editor = 32779;
constexpr unsigned AddDiagram = 140;
constexpr unsigned InsertDiagram = 142;
constexpr unsigned DeleteDiagram = 143;
constexpr unsigned AutoComments = 40039;
constexpr unsigned StandardStartPosition = 32784;
constexpr unsigned ClearBoard = 101;
constexpr unsigned DiagramDatas = 102;
// The menu item and the tool-bar button of the same toggle.
constexpr unsigned BlackToMove = 32850;
constexpr unsigned BlackToMoveButton = 32851;
constexpr unsigned MarksMode = 32819;
constexpr unsigned NumbersInSquares = 32857;
constexpr unsigned FairyMode = 197;
// The colours of the marks, in the drop-down of the marks button.
constexpr unsigned ColourBlue = 381;
constexpr unsigned ColourGreen = 390;
constexpr unsigned ColourRed = 391;
constexpr unsigned ColourYellow = 392;
// The drop-down menu itself.
constexpr unsigned ColourMenu = 204;

// View and navigation
constexpr unsigned GoFirstDiagram = 32600;
constexpr unsigned GoPreviousDiagram = 32777;
constexpr unsigned GoNextDiagram = 32776;
constexpr unsigned GoLastDiagram = 32778;
constexpr unsigned GoToNumber = 145;
constexpr unsigned Coordinates = 32774;
constexpr unsigned HideTextAndArrows = 32783;
constexpr unsigned DisplayFen = 399;
constexpr unsigned TextureNone = 32867;
constexpr unsigned TextureRagPaper = 32868;
constexpr unsigned TextureWatercolor = 32869;
constexpr unsigned TextureChalk = 32870;
constexpr unsigned BoardPlacement = 32782;
constexpr unsigned DiagramSize = 32861;
constexpr unsigned ChessFonts = 199;
constexpr unsigned FlipBoard = 160;
constexpr unsigned TransparentMode = 136;
constexpr unsigned Preferences = 139;
constexpr unsigned KeyHome = 32780;

// Help
constexpr unsigned HelpTopics = 57667;
constexpr unsigned Help = 57670;
constexpr unsigned DefaultHelp = 57671;
constexpr unsigned ContextHelp = 57669;
constexpr unsigned WebHomePage = 151;
constexpr unsigned TutorialVideos = 32862;
constexpr unsigned SendEmail = 150;
constexpr unsigned About = 57664;

} // namespace CommandId
