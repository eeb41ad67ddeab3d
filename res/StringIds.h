#pragma once

// Texts of the string table (res/strings/) that the program loads by name. The table's files give each
// text by its number, so these numbers never change.
namespace StringId {

// The program and its frame
constexpr unsigned ProgramName = 57344;
constexpr unsigned ProgramTitle = 128;
constexpr unsigned IdleMessage = 57345;
// The texts of the three lock-key panes follow this one.
constexpr unsigned FirstIndicator = 59137;
constexpr unsigned WebHomePageAddress = 40042;
constexpr unsigned TutorialVideosAddress = 103;
constexpr unsigned AuthorMailAddress = 40301;
constexpr unsigned SettingsNotWritten = 41000;
constexpr unsigned FileWhereFolderNeeded = 41001;
constexpr unsigned FileNotWritten = 41003;

// The command line
constexpr unsigned OneListAtATime = 41610;
constexpr unsigned NotALocalFile = 41611;
constexpr unsigned CommandLineUsage = 41612;
constexpr unsigned UnknownOption = 41613;
constexpr unsigned NotAFileOfPositions = 41600;
// The kinds of thing a name may stand for instead of a file, in NotAFileOfPositions.
constexpr unsigned AFolder = 41601;
constexpr unsigned ANamedPipe = 41602;
constexpr unsigned ADevice = 41603;
constexpr unsigned ASocket = 41604;

// The list and its files
constexpr unsigned NoName = 40023;
constexpr unsigned CannotOpenFile = 40402;
constexpr unsigned CannotSaveFile = 40403;
constexpr unsigned ReplaceFile = 40404;
constexpr unsigned SaveLossyFileAnyway = 40405;
constexpr unsigned SaveChangedList = 40406;
constexpr unsigned NoValidPosition = 40045;
constexpr unsigned FileCorrupted = 40034;
constexpr unsigned ErrorBeforeSaving = 40038;
constexpr unsigned QuitWithoutSaving = 40037;
constexpr unsigned CorrectionModeLabel = 40024;
constexpr unsigned CorrectionEndSave = 40026;
constexpr unsigned OnlyOneDiagram = 40031;
constexpr unsigned MoreFaultyLines = 40401;
// The file kinds of Save As, the current kind first; a BNX list that only BNX keeps whole.
constexpr unsigned SaveFilterEpdFirst = 40025;
constexpr unsigned SaveFilterFenFirst = 40028;
constexpr unsigned SaveFilterTxtFirst = 40029;
constexpr unsigned SaveFilterBnxFirst = 40033;
constexpr unsigned SaveFilterBnxOnly = 40109;
// The file kinds of Open and Merge, the current kind first.
constexpr unsigned OpenFilterBnxFirst = 40083;
constexpr unsigned OpenFilterEpdFirst = 40084;
constexpr unsigned OpenFilterFenFirst = 40085;
constexpr unsigned OpenFilterTxtFirst = 40086;
// The tags of a game written into a PGN file; the next ones follow it.
constexpr unsigned FirstPgnTag = 30101;
constexpr unsigned KindCannotKeep = 40440;
// The parts of a list a file kind may lose, one text a bit of the lost parts, from this one on.
constexpr unsigned FirstLostPart = 40441;

// Diagrams, marks and the board
constexpr unsigned AutoCommentPrefix = 40041;
constexpr unsigned AutoCommentsEnd = 40040;
constexpr unsigned MarkTableFull = 40032;
constexpr unsigned PiecesCount = 40134;
constexpr unsigned SquareTooSmall = 40300;
constexpr unsigned SquareTooLarge = 41004;
constexpr unsigned FairyNeedsFairyFont = 40110;
constexpr unsigned NumberBeyondList = 40035;
constexpr unsigned EnterAnInteger = 40407;
constexpr unsigned EnterAnIntegerInRange = 40408;
constexpr unsigned EnterNumberUpTo = 41005;
constexpr unsigned CommentTooLong = 41500;
constexpr unsigned CharactersNotInCodePage = 41501;

// Clipboard, mail and pictures
constexpr unsigned CannotOpenClipboard = 40011;
constexpr unsigned NoPositionOnClipboard = 40015;
constexpr unsigned CannotSetClipboardData = 40500;
constexpr unsigned FenMailAddress = 40044;
constexpr unsigned FontSizeRange = 41200;
constexpr unsigned PictureFilter = 40043;
constexpr unsigned PictureNotSaved = 40501;
constexpr unsigned OutOfMemory = 40502;
constexpr unsigned ReplacePicture = 40503;

// Chess fonts
// The names of the chess fonts of the font table, in its order, from this one on.
constexpr unsigned FirstChessFontName = 40050;
constexpr unsigned LastChessFontName = 40067;
constexpr unsigned CasesFontCredit = 40460;
constexpr unsigned FairyFontCredit = 40461;
constexpr unsigned LetterFontsCredit = 40462;
constexpr unsigned FreeFontCredit = 40463;
constexpr unsigned FontsPageAddress = 40464;

// PGN import
constexpr unsigned PgnFilter = 40114;
constexpr unsigned CannotOpenPgnFile = 40119;
constexpr unsigned NotAPgnFile = 40118;
constexpr unsigned TooManyGames = 40111;
constexpr unsigned GamesLeftOut = 41100;
constexpr unsigned NoGameWithMoves = 41101;
constexpr unsigned GameTooLong = 41102;
constexpr unsigned UnreadableFenTag = 40112;
constexpr unsigned MoveCannotBePlayed = 40117;
constexpr unsigned NoColourChosen = 40116;
constexpr unsigned MoveRange = 40115;
constexpr unsigned PieceLettersCount = 40120;
constexpr unsigned CommentsPane = 104;
constexpr unsigned ImportedPane = 105;

} // namespace StringId
