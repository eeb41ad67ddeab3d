#include "CPlaviaView.h"

#include "GlobalModes.h"
#include "dialogs/CDSaveWarning.h"
#include "dialogs/CDialog_Errors.h"
#include "platform/Commands.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "positions/FenLine.h"
#include "positions/KindLosses.h"
#include "positions/PositionFile.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <QCursor>
#include <array>
#include <filesystem>

namespace {

using M = GlobalModes;

// The list of a new, never saved list of diagrams has this path.
bool IsNoName(const std::string& path)
{
    return path.empty() || path == LoadString(StringId::NoName);
}

std::string ReplaceAll(std::string text, const std::string& mark, const std::string& value)
{
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
        text.replace(at, mark.size(), value);
    return text;
}

// A message about a file: %1 its name, %2 what went wrong.
std::string FileMessage(unsigned id, const std::string& path, const std::string& reason = {})
{
    return ReplaceAll(ReplaceAll(LoadString(id), "%1", DisplayFileName(path)), "%2", reason);
}

std::string WithExtension(const std::string& path, const std::string& extension)
{
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + "." + extension;
    return path.substr(0, dot + 1) + extension;
}

std::string FolderOf(const std::string& path)
{
    if (IsNoName(path)) return {};
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The file dialog for the list's kind: filters[0] for "epd", [1] for "fen", [2] for any other.
FileDialogRequest RequestFor(
    bool open, const std::string& extension, const std::string& path, const std::array<unsigned, 3>& filters)
{
    FileDialogRequest request;
    request.open = open;
    request.defaultExtension = extension;
    request.folder = FolderOf(path);
    request.filter = LoadString(extension == "epd" ? filters[0]
            : extension == "fen"                   ? filters[1]
                                                   : filters[2]);
    request.initialName = "*." + extension;
    return request;
}

void ForBnx(FileDialogRequest& request, unsigned filter)
{
    request.filter = LoadString(filter);
    request.initialName = "*.bnx";
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    return a == b;
}

// The wait cursor while a file is read or written.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

PositionFile::WriteOptions WriteOptionsFor(const std::string& extension, bool allMarkSlots)
{
    PositionFile::WriteOptions options;
    options.extension = extension;
    options.allMarkSlots = allMarkSlots;
    options.fairyMode = M::fairyMode;
    options.legalPosition = AppSettings::LegalPosition != 0;
    for (unsigned i = 0; i < options.pgnTags.size(); ++i)
        options.pgnTags[i] = LoadString(StringId::FirstPgnTag + i);
    return options;
}

// The message of a file that gave no list; false when the reading gave one.
bool ReportFailedRead(CPlaviaView& view, const PositionFile::ReadResult& read, const std::string& path,
    const std::string& extension, const std::string& reason)
{
    using PositionFile::ReadStatus;
    switch (read.status) {
    case ReadStatus::Ok:
        return false;
    case ReadStatus::CannotRead:
        AfxMessageBox(FileMessage(StringId::CannotOpenFile, path, reason), MB_ICONERROR);
        return true;
    case ReadStatus::Empty:
        if (extension == "bnx")
            AfxMessageBox(StringId::NoValidPosition, MB_ICONERROR);
        else
            view.ReportError(Legality::TooManyBadLines);
        return true;
    case ReadStatus::HeaderCut:
        AfxMessageBox(StringId::FileCorrupted, MB_ICONERROR);
        return true;
    case ReadStatus::NotPositionFile:
        view.ReportError(Legality::TooManyBadLines);
        return true;
    }
    return true;
}

// Reads a position file into `read` with the wait cursor up: false, after the message that says why, when
// it gave no list; a file cut short is read as far as it goes, after its message. The correction's
// re-read (`correct`, the faulty lines to mend) lets illegal positions in, to be mended one by one.
bool ReadListFile(CPlaviaView& view, const std::string& path, const std::string& extension,
    const OpenErrorList* correct, DiagramList& read, PositionFile::ReadResult& result)
{
    PositionFile::ReadOptions options;
    options.extension = extension;
    options.legalCheckActive = !correct && SettingsState::legalCheckActive;
    options.fairyMode = M::fairyMode;
    options.letterFamily2 = view.m_bLetterFamily2;
    options.correct = correct;
    std::string reason;
    {
        WaitCursor wait;
        result = PositionFile::ReadFile(path, options, read, reason);
    }
    if (ReportFailedRead(view, result, path, extension, reason)) return false;
    if (result.corrupted) AfxMessageBox(StringId::FileCorrupted, MB_ICONERROR);
    return true;
}

// Puts a list read from `path` in place of the view's list (or after it when merging), with everything
// that names the file, and the modes the file's header asks for.
void TakeReadList(CPlaviaView& view, DiagramList& read, const PositionFile::ReadResult& result,
    const std::string& path, const std::string& extension, bool merge, bool lossy)
{
    if (merge) {
        PositionFile::AppendList(view, read, result.headerRead);
        view.m_bFairyMarks = view.m_bFairyMarks || result.fairyMarks;
    } else {
        PositionFile::ReplaceList(view, read);
        view.m_nBnxOnlyCount = 0;
        view.m_bFairyMarks = result.fairyMarks;
    }
    if (result.headerSwitchesLegalOff) {
        if (AppSettings::LegalPosition) SettingsState::legalSuspendedByFile = true;
        AppSettings::LegalPosition = 0;
        SettingsState::legalCheckActive = false;
    }
    if (result.headerSwitchesFairyOn) M::fairyMode = true;
    M::correctionMode = false;
    view.m_bDeriveCastling = false;
    if (merge) {
        // The merged list is the list's own, changed: it keeps its file and name, so that a save that
        // follows never goes over the file merged in.
        view.m_bModified = true;
        if (lossy) view.m_strLossyLoadPath = path;
        return;
    }
    view.m_strExtension = extension;
    view.m_strFilePath = path;
    SettingsState::currentFileName = DisplayFileName(path);
    view.m_bModified = false;
    view.m_strLossyLoadPath = lossy ? path : std::string();
    emit view.documentTitleChanged(SettingsState::currentFileName);
}

} // namespace

bool CPlaviaView::BuildHeaderBlock(std::string& block) const
{
    return PositionFile::BuildHeaderBlock(
        *this, AppSettings::LegalPosition != 0, PositionFile::FairyForm(*this, M::fairyMode), block);
}

bool CPlaviaView::CheckBeforeWriting()
{
    if (SettingsState::legalCheckActive && m_pCurrentDiagram) {
        LegalityCode code = FenLine::CheckRecord(*this, *m_pCurrentDiagram, M::fairyMode);
        if (code > 0) {
            AfxMessageBox(StringId::ErrorBeforeSaving, MB_ICONERROR);
            ReportError(code);
            return false;
        }
        if (code < 0 && !M::correctionMode && !m_pCurrentDiagram->warningsAccepted && !AskIgnoreWarning(code))
            return false;
    }
    if (m_bDeriveCastling) DeriveCastlingRights();
    m_bDeriveCastling = false;
    return true;
}

CPlaviaView::KindChoice CPlaviaView::ConfirmKind(std::string& path, std::string& extension)
{
    const PositionFile::Kind kind = PositionFile::KindOf(extension);
    // A PGN file is a copy for other programs: the list stays as it is, in its own file.
    if (kind == PositionFile::Kind::Pgn) return KindChoice::Copy;
    const unsigned lost = KindLosses::Lost(*this, kind);
    if (lost == 0) return KindChoice::Whole;
    CDSaveWarning warning(this);
    warning.m_szHelpPath = HelpPath;
    warning.m_nLostParts = lost;
    if (warning.DoModal() != IDOK) return KindChoice::Cancelled;
    if (!warning.m_bSaveAsBnx) return KindChoice::Copy;
    std::string bnx = WithExtension(path, "bnx");
    std::error_code ec;
    if (bnx != path && std::filesystem::exists(bnx, ec)
        && AfxMessageBox(FileMessage(StringId::ReplaceFile, bnx), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return KindChoice::Cancelled;
    path = bnx;
    extension = "bnx";
    return KindChoice::Whole;
}

bool CPlaviaView::ConfirmLossyTarget(const std::string& path)
{
    if (m_strLossyLoadPath.empty() || !SameFile(path, m_strLossyLoadPath)) return true;
    return AfxMessageBox(FileMessage(StringId::SaveLossyFileAnyway, path), MB_YESNO | MB_ICONQUESTION)
        == IDYES;
}

bool CPlaviaView::WriteListFile(const std::string& path, const std::string& extension, bool allMarkSlots)
{
    PositionFile::SaveResult saved;
    {
        WaitCursor wait;
        saved = PositionFile::SaveToFile(*this, WriteOptionsFor(extension, allMarkSlots), path);
    }
    if (!saved.ok) AfxMessageBox(FileMessage(StringId::CannotSaveFile, path, saved.reason), MB_ICONERROR);
    return saved.ok;
}

void CPlaviaView::CommitSavedFile(const std::string& path, const std::string& extension)
{
    m_strFilePath = path;
    m_strExtension = extension;
    SettingsState::currentFileName = DisplayFileName(path);
    emit documentTitleChanged(SettingsState::currentFileName);
    m_bModified = false;
    if (!m_strLossyLoadPath.empty() && SameFile(path, m_strLossyLoadPath)) m_strLossyLoadPath.clear();
}

bool CPlaviaView::SaveFile()
{
    if (m_nLastIndex < 0) return true;
    if (IsNoName(m_strFilePath)) return SaveFileAs();
    if (!CheckBeforeWriting()) return false;
    std::string path = m_strFilePath;
    std::string extension = m_strExtension;
    const KindChoice choice = ConfirmKind(path, extension);
    if (choice == KindChoice::Cancelled || !ConfirmLossyTarget(path)) return false;
    if (!WriteListFile(path, extension, true)) return false;
    CommitSavedFile(path, extension);
    // The file does not give the list back, as the user was told: the list still differs from it, so
    // the next New, Open or Exit asks again.
    if (choice == KindChoice::Copy) m_bModified = true;
    return true;
}

bool CPlaviaView::SaveFileAs()
{
    if (m_nLastIndex < 0) return true;
    if (!CheckBeforeWriting()) return false;
    FileDialogRequest request = RequestFor(false, m_strExtension, m_strFilePath,
        { StringId::SaveFilterEpdFirst, StringId::SaveFilterFenFirst, StringId::SaveFilterTxtFirst });
    if (m_bFairyMarks)
        ForBnx(request, StringId::SaveFilterBnxOnly);
    else if (m_strExtension == "bnx" || KindLosses::Lost(*this, PositionFile::KindOf(m_strExtension)) != 0)
        ForBnx(request, StringId::SaveFilterBnxFirst);
    std::string path;
    if (!AfxFileDialog(this, request, path)) return false;
    std::string extension = FileExtension(path);
    // Lines of an .epd file carry their operations from now on.
    const bool epdModeBefore = m_bEpdMode;
    if (extension == "epd") m_bEpdMode = true;
    const KindChoice choice = ConfirmKind(path, extension);
    if (choice == KindChoice::Cancelled || !ConfirmLossyTarget(path)
        || !WriteListFile(path, extension, false)) {
        m_bEpdMode = epdModeBefore;
        return false;
    }
    // A file that cannot give the list back (a PGN file, or one whose kind drops what the user was
    // told about) is a copy: the list keeps its own file and stays modified, so New, Open and Exit
    // still ask before it goes.
    if (choice == KindChoice::Whole)
        CommitSavedFile(path, extension);
    else
        m_bEpdMode = epdModeBefore;
    return true;
}

void CPlaviaView::OnFileSave()
{
    SaveFile();
}

void CPlaviaView::OnFileSaveAs()
{
    SaveFileAs();
}

bool CPlaviaView::AskSaveChanges()
{
    if (!m_bModified || m_nLastIndex < 0) return true;
    switch (AfxMessageBox(FormatString1(StringId::SaveChangedList, SettingsState::currentFileName),
        MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return SaveFile();
    case IDNO:
        return true;
    default:
        return false;
    }
}

void CPlaviaView::OnFileExit()
{
    // Escape or the box's close button answer neither Yes nor No: the program stays, nothing written.
    const int answer
        = m_bModified ? AfxMessageBox(StringId::QuitWithoutSaving, MB_YESNO | MB_ICONQUESTION) : IDYES;
    if (answer == IDCANCEL) return;
    if (answer != IDYES) {
        if (SettingsState::legalCheckActive && m_pCurrentDiagram && m_nLastIndex >= 0) {
            LegalityCode code = FenLine::CheckRecord(*this, *m_pCurrentDiagram, M::fairyMode);
            if (code > 0) {
                AfxMessageBox(StringId::ErrorBeforeSaving, MB_ICONERROR);
                ReportError(code);
                return;
            }
        }
        // The program stays open unless the list is in its file now.
        if (!SaveFile()) return;
    }
    ++m_nExitRequests;
    emit quitRequested();
}

void CPlaviaView::OnFileMerge()
{
    M::mergeMode = true;
    OnFileOpen();
    M::mergeMode = false;
    OnFileSaveAs();
}

void CPlaviaView::OnFileOpen()
{
    const bool merge = M::mergeMode;
    if (!merge && !AskSaveChanges()) return;
    FileDialogRequest request = RequestFor(true, m_strExtension, m_strFilePath,
        { StringId::OpenFilterEpdFirst, StringId::OpenFilterFenFirst, StringId::OpenFilterTxtFirst });
    if (m_strExtension == "bnx") ForBnx(request, StringId::OpenFilterBnxFirst);
    std::string path;
    if (!AfxFileDialog(this, request, path)) return;
    OpenPositionFile(path);
}

bool CPlaviaView::OpenPositionFile(const std::string& path)
{
    const bool merge = M::mergeMode;
    const std::string extension = FileExtension(path);
    if (extension == "bmp" || extension == "png") {
        AfxMessageBox(StringId::NoValidPosition, MB_ICONERROR);
        return false;
    }

    DiagramList read;
    PositionFile::ReadResult result;
    if (!ReadListFile(*this, path, extension, nullptr, read, result)) return false;
    if (!result.errors.Empty()) {
        CDialog_Errors errors(this);
        errors.m_pErrors = &result.errors;
        errors.m_szHelpPath = HelpPath;
        if (errors.DoModal() == IDOK) {
            return ReadForCorrection(path, extension, merge, result.errors, result.formatErrors);
        }
    }
    if (result.diagramsMade == 0) {
        AfxMessageBox(StringId::NoValidPosition, MB_ICONERROR);
        return false;
    }
    const bool lossy = result.errors.FaultyLineCount() > 0 || result.corrupted;
    TakeReadList(*this, read, result, path, extension, merge, lossy);
    m_errorList.Clear();
    UpdateStatusText();
    InvalidateAll(true);
    return true;
}

void CPlaviaView::ReadPositionFileForCorrection()
{
    ReadForCorrection(m_strFilePath, m_strExtension, false, m_errorList, 0);
}

bool CPlaviaView::ReadForCorrection(const std::string& path, const std::string& extension, bool merge,
    const OpenErrorList& errors, int formatErrors)
{
    DiagramList read;
    PositionFile::ReadResult result;
    if (!ReadListFile(*this, path, extension, &errors, read, result)) return false;
    for (size_t i = 0; i < result.failedAgain.size(); ++i)
        AfxMessageBox("Debug Diag pas valide pas normal", MB_OK);
    if (result.diagramsMade == 0) {
        AfxMessageBox(StringId::NoValidPosition, MB_ICONERROR);
        return false;
    }
    const int before = merge ? DiagramCount() : 0;
    const bool lossy = formatErrors > 0 || result.corrupted || !result.failedAgain.empty();
    TakeReadList(*this, read, result, path, extension, merge, lossy);
    SettingsState::legalCheckActive = true;
    m_errorList = result.corrected;
    m_nCorrectionOffset = before;
    M::correctionMode = true;
    StartCorrectionWalk();
    UpdateStatusText();
    InvalidateAll(true);
    return true;
}

void CPlaviaView::StartCorrectionWalk()
{
    m_errorList.StartWalk();
    const ErrorListEntry* entry = m_errorList.NextToCorrect();
    if (!entry) {
        m_errorList.errorListSkipped = 0;
        M::correctionMode = false;
        SettingsState::correctionStatusText.clear();
        return;
    }
    MoveToDiagramIndex(m_nCorrectionOffset + entry->diagramIndex);
    SettingsState::correctionStatusText = LoadString(static_cast<unsigned>(ErrorMessageId(entry->code)));
    ++m_errorList.errorListCursor;
    M::editorMode = true;
    SelectWhiteKing();
}

void CPlaviaView::LoadErrorMessage()
{
    const ErrorListEntry* entry = m_errorList.NextToCorrect();
    SettingsState::correctionStatusText
        = entry ? LoadString(static_cast<unsigned>(ErrorMessageId(entry->code))) : std::string();
}

void CPlaviaView::RegisterFileCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    auto bnxOnly = [this](CCmdUI& ui) {
        if (m_strExtension != "bnx") ui.Enable(false);
    };
    r.Register(
        this, CommandId::FileOpen, [this] { OnFileOpen(); }, [](CCmdUI&) {});
    r.Register(
        this, CommandId::FileSave, [this] { OnFileSave(); }, bnxOnly);
    r.Register(this, CommandId::FileSaveAs, [this] { OnFileSaveAs(); });
    r.Register(
        this, CommandId::FileMerge, [this] { OnFileMerge(); }, bnxOnly);
    r.Register(this, CommandId::FileExit, [this] { OnFileExit(); });
    // File > New asks first whether a changed list is to be saved.
    r.Register(
        this, CommandId::FileNew,
        [this] {
            if (AskSaveChanges()) OnFileNew();
        },
        [](CCmdUI& ui) { ui.Enable(M::editorMode); });
    RegisterNavigationCommands();
}
