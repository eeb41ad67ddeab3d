#include "CPgnImport.h"

#include "CSetPieces.h"
#include "pgn/CHeaderPGN.h"
#include "platform/Codec.h"
#include "platform/Help.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "positions/BoardLetters.h"

#include "res/StringIds.h"
#include "ui_CPgnImport.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QFontDatabase>
#include <QIntValidator>
#include <QLabel>
#include <QResizeEvent>
#include <QStatusBar>
#include <algorithm>

// The listed games as the list view asks for them: nothing is built per game, so a file of
// 100,000 games lists as fast as one of ten.
class GameListModel : public QAbstractListModel {
public:
    explicit GameListModel(const CHeaderPGN* header)
        : header(header)
    {
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() || !header ? 0 : header->GameCount();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
        const std::string bytes(header->games[static_cast<size_t>(index.row())].listText);
        QString text = header->utf8 ? Codec::FromUtf8(bytes) : Codec::ToQt(bytes);
        text.replace('\t', "    ");
        return text;
    }

private:
    const CHeaderPGN* header;
};

// The "Comments: " pane of the status bar. Its width is the dialog's, less 100 pixels, whatever it
// holds: a comment longer than the pane is cut for the eye (and shown whole as the pane's tool tip),
// so that no comment can widen the dialog.
class CommentPane : public QLabel {
public:
    explicit CommentPane(QWidget* parent)
        : QLabel(parent)
    {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    void SetFullText(const QString& text)
    {
        full = text;
        Elide();
    }
    const QString& FullText() const { return full; }
    QSize sizeHint() const override { return { 0, QLabel::sizeHint().height() }; }
    QSize minimumSizeHint() const override { return { 0, QLabel::minimumSizeHint().height() }; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        Elide();
    }

private:
    void Elide()
    {
        QString shown = fontMetrics().elidedText(full, Qt::ElideRight, std::max(0, contentsRect().width()));
        QLabel::setText(shown);
        setToolTip(shown == full ? QString() : "<p>" + full.toHtmlEscaped() + "</p>");
    }
    QString full;
};

namespace {

const HelpIdPairs importHelp = { { 1070, 1 }, { 1071, 2 }, { 1076, 3 }, { 1077, 4 }, { 1078, 5 }, { 1079, 6 },
    { 1080, 7 }, { 1081, 8 }, { 1082, 9 }, { 1083, 10 }, { 1084, 11 }, { 1086, 12 }, { 1087, 13 },
    { 1088, 14 }, { 1090, 15 }, { 1072, 16 }, { 1073, 17 }, { 1074, 18 }, { 1075, 19 }, { 1018, 20 } };

constexpr int UserLanguageIndex = PgnLetters::LanguageCount;
constexpr size_t TextLimit = 499;

// The game's description in front of its first chosen position: the list text without its number,
// up to the '_' fill (or the tab), so that it ends with the players' names. A game that names one
// player is described by that name, one that names none by nothing.
std::string GameDescription(const std::string& listText)
{
    size_t blank = listText.find(' ');
    std::string rest = blank == std::string::npos ? std::string() : listText.substr(blank + 1);
    size_t tab = rest.find('\t');
    std::string players = rest.substr(0, tab);
    // The fill is the run of '_' that reaches the tab; a '_' inside a name stays.
    size_t end = players.size();
    while (end > 0 && players[end - 1] == '_') --end;
    players.resize(end);
    const bool noWhite = players.rfind(" - ", 0) == 0;
    if (noWhite) players.erase(0, 3);
    if (players.size() >= 3 && players.compare(players.size() - 3, 3, " - ") == 0)
        players.resize(players.size() - 3);
    return players;
}

// The list text up to the '_' fill: number and players, for messages.
std::string GameName(const std::string& listText)
{
    size_t blank = listText.find(' ');
    if (blank == std::string::npos) return listText.substr(0, listText.find('\t'));
    std::string players = GameDescription(listText);
    return players.empty() ? listText.substr(0, blank) : listText.substr(0, blank) + " " + players;
}

std::string ReplaceArgument(std::string text, const std::string& mark, const std::string& value)
{
    if (size_t at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), value);
    return text;
}

void Cut(std::string& text)
{
    if (text.size() > TextLimit) text.resize(TextLimit);
}

// The same limit counted in the characters of a UTF-8 text, cut where a character begins.
void CutUtf8(std::string& text)
{
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++characters > TextLimit) {
            text.resize(i);
            return;
        }
    }
}

} // namespace

CPgnImport::CPgnImport(QWidget* parent)
    : CDialog(parent)
    , form(std::make_unique<Ui::CPgnImport>())
{
    form->setupUi(this);
    // The status bar spans the whole client width, below the margins of everything else, so that
    // its comment pane can be the client width less 100.
    form->content->setContentsMargins(form->main->contentsMargins());
    form->content->setSpacing(form->main->spacing());
    form->main->setContentsMargins(0, 0, 0, 0);
    form->main->setSpacing(0);
    auto* bar = new QStatusBar(this);
    bar->setObjectName("statusBar");
    bar->setSizeGripEnabled(false);
    commentPane = new CommentPane(this);
    commentPane->setObjectName("pane0");
    importedPane = new QLabel(this);
    importedPane->setObjectName("pane1");
    bar->addWidget(commentPane, 1);
    bar->addWidget(importedPane, 0);
    form->statusRow->addWidget(bar);

    for (int i = 0; i < PgnLetters::LanguageCount; ++i)
        form->IDC_1085->addItem(QString::fromLatin1(PgnLetters::LanguageName(i)));
    auto* numbers = new QIntValidator(0, 9999, this);
    form->IDC_1086->setValidator(numbers);
    form->IDC_1087->setValidator(numbers);
    form->IDC_1070->setUniformItemSizes(true);
    // The '_' fill lines the events up only in a font of one width.
    form->IDC_1070->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    form->IDC_1070->setEditTriggers(QAbstractItemView::NoEditTriggers);

    connect(form->IDC_1088, &QPushButton::clicked, this, [this] { OpenSelectedGame(); });
    connect(form->IDC_1070, &QListView::doubleClicked, this, [this] { OpenSelectedGame(); });
    connect(form->IDC_1076, &QCheckBox::clicked, this, [this] { OnSelectPosition(); });
    connect(form->IDC_1080, &QPushButton::clicked, this, [this] { OnImport(); });
    connect(form->IDC_1081, &QPushButton::clicked, this, [this] { OnUnselect(); });
    connect(form->IDC_1078, &QPushButton::clicked, this, [this] { OnImportAll(); });
    connect(form->IDC_1079, &QPushButton::clicked, this, [this] { OnUnselectAll(); });
    connect(form->IDC_1072, &QPushButton::clicked, this, [this] { OnFirst(); });
    connect(form->IDC_1073, &QPushButton::clicked, this, [this] { OnPrevious(); });
    connect(form->IDC_1074, &QPushButton::clicked, this, [this] { OnNext(); });
    connect(form->IDC_1075, &QPushButton::clicked, this, [this] { OnLast(); });
    connect(form->IDC_1084, &QCheckBox::clicked, this, [this] { OnInterval(); });
    connect(form->IDC_1091, &QPushButton::clicked, this, [this] { OnAddLanguage(); });
    connect(form->IDC_1077, &QPushButton::clicked, this, [this] { OnClipboard(); });
    connect(form->IDC_1090, &QPushButton::clicked, this, [this] { OnHelpButton(); });
    connect(form->IDC_1085, &QComboBox::activated, this, [this] { OnSelchangeLanguage(); });
    connect(form->IDC_1098, &QSlider::valueChanged, this, [this](int value) {
        if (!movingSlider && value != currentPly) GoToPly(value);
    });
}

CPgnImport::~CPgnImport() = default;

void CPgnImport::OnInitDialog()
{
    chosenInGame = 0;
    currentPly = 1;
    form->IDC_1088->setEnabled(false);
    movingSlider = true;
    form->IDC_1098->setRange(1, 100);
    form->IDC_1098->setValue(1);
    form->IDC_1098->setPageStep(5);
    movingSlider = false;
    for (QWidget* w : std::initializer_list<QWidget*> { form->IDC_1072, form->IDC_1073, form->IDC_1074,
             form->IDC_1075, form->IDC_1076, form->IDC_1077, form->IDC_1078, form->IDC_1079, form->IDC_1080,
             form->IDC_1081, form->IDC_1098 })
        w->setEnabled(false);

    header = std::make_unique<CHeaderPGN>(m_limits);
    if (m_strLang.size() >= 6) {
        form->IDC_1085->addItem(Codec::ToQt(m_strLang.substr(0, m_strLang.size() - 6)));
        userLetters = m_strLang.substr(m_strLang.size() - 5);
    }
    comboIndex = std::clamp(m_nLangIndex, 0, form->IDC_1085->count() - 1);
    form->IDC_1085->setCurrentIndex(comboIndex);

    header->fileName = m_strFilePath;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PgnScanResult scan = header->ScanFile();
    QApplication::restoreOverrideCursor();
    if (scan == PgnScanResult::CannotOpen)
        AfxMessageBox(StringId::CannotOpenPgnFile, MB_ICONERROR);
    else if (scan == PgnScanResult::ReadError)
        AfxMessageBox(StringId::NotAPgnFile, MB_ICONERROR);
    if (header->listFull)
        AfxMessageBox(
            FormatString1(StringId::TooManyGames, std::to_string(CHeaderPGN::MaxGames)), MB_ICONINFORMATION);
    if (header->leftOut > 0)
        AfxMessageBox(FormatString1(StringId::GamesLeftOut, std::to_string(header->leftOut)), MB_ICONWARNING);
    if (scan == PgnScanResult::Ok && header->GameCount() == 0 && header->leftOut == 0)
        AfxMessageBox(StringId::NoGameWithMoves, MB_ICONINFORMATION);

    model = std::make_unique<GameListModel>(header.get());
    form->IDC_1070->setModel(model.get());
    connect(form->IDC_1070->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { OnSelchangeGameList(); });

    header->DetectLetterSet(DisplaySetOf(comboIndex));

    m_nFrom = 1;
    m_nTo = 2;
    if (!m_strFontFace.empty()) form->IDC_1071->SetChessFace(m_strFontFace);
    ShowBoardRtf(nullptr);
    UpdateStatusBar();
    InstallControlHelp(this, m_szHelpPath + "pgn.txt", importHelp);
}

void CPgnImport::DoDataExchange(bool saving)
{
    if (saving) {
        m_nFrom = form->IDC_1086->text().toInt();
        m_nTo = form->IDC_1087->text().toInt();
        m_bInterval = form->IDC_1084->isChecked();
        m_bWhiteMoves = form->IDC_1082->isChecked();
        m_bBlackMoves = form->IDC_1083->isChecked();
        m_bImportComments = form->IDC_1069->isChecked();
        comboIndex = std::max(0, form->IDC_1085->currentIndex());
        m_nLangIndex = comboIndex;
    } else {
        form->IDC_1086->setText(QString::number(m_nFrom));
        form->IDC_1087->setText(QString::number(m_nTo));
        form->IDC_1084->setChecked(m_bInterval);
        form->IDC_1082->setChecked(m_bWhiteMoves);
        form->IDC_1083->setChecked(m_bBlackMoves);
        form->IDC_1069->setChecked(m_bImportComments);
        form->IDC_1086->setEnabled(m_bInterval);
        form->IDC_1087->setEnabled(m_bInterval);
    }
}

QString CPgnImport::StatusPane(int pane) const
{
    if (pane == 0) return commentPane->FullText();
    return pane == 1 ? importedPane->text() : QString();
}

QString CPgnImport::FileText(const std::string& bytes) const
{
    return header && header->utf8 ? Codec::FromUtf8(bytes) : Codec::ToQt(bytes);
}

std::string CPgnImport::ListText(const std::string& bytes) const
{
    return header && header->utf8 ? Codec::Utf8ToWindows1252(bytes) : bytes;
}

void CPgnImport::resizeEvent(QResizeEvent* event)
{
    CDialog::resizeEvent(event);
    // The comment pane has the client width less 100 pixels; the count of imported positions the rest.
    commentPane->setMaximumWidth(std::max(0, width() - 100));
}

int CPgnImport::DisplaySetOf(int index) const
{
    return PgnLetters::SetForLanguage(index);
}

void CPgnImport::OnSelchangeGameList()
{
    // The list has a current line as soon as it has the focus, before the user has chosen any game.
    form->IDC_1088->setEnabled(form->IDC_1070->selectionModel()->hasSelection());
}

void CPgnImport::OpenSelectedGame()
{
    DoDataExchange(true);
    form->IDC_1069->setEnabled(false);
    commentsLocked = true;
    CollectSelectedPositions();
    header->interpreter.FreePlyList();

    if (comboIndex == UserLanguageIndex) header->interpreter.SetUserLetters(userLetters);
    header->interpreter.SetDisplaySet(DisplaySetOf(comboIndex));
    // A file too short to tell its letters is read in those of the language chosen.
    header->ChooseLetterSet(DisplaySetOf(comboIndex));

    const QModelIndexList selected = form->IDC_1070->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    int index = selected.front().row();
    const PgnGameNode& game = header->games[static_cast<size_t>(index)];
    chosenGameText = std::string(game.listText);
    header->interpreter.importComments = m_bImportComments ? 1 : 0;
    header->LoadGame(game.filePosition, index, false);

    chosenEarlier += chosenInGame;
    chosenInGame = 0;
    BuildRecordsFromGame();
    if (!records.empty()) {
        current = 0;
        form->IDC_1076->setChecked(records[0].selected != 0);
        ShowCurrent();
        for (QWidget* w : std::initializer_list<QWidget*> { form->IDC_1078, form->IDC_1077, form->IDC_1076 })
            w->setEnabled(true);
        form->IDC_1081->setEnabled(false);
        form->IDC_1079->setEnabled(false);
        form->IDC_1080->setEnabled(true);
        m_nFrom = 1;
        m_nTo = 2;
        form->IDC_1086->setText("1");
        form->IDC_1087->setText("2");
        movingSlider = true;
        form->IDC_1098->setEnabled(true);
        form->IDC_1098->setRange(records.front().ply, records.back().ply);
        form->IDC_1098->setValue(records.front().ply);
        movingSlider = false;
        currentPly = records.front().ply;
        UpdateNavigationButtons();
    } else {
        current = -1;
        for (QWidget* w : std::initializer_list<QWidget*> { form->IDC_1072, form->IDC_1073, form->IDC_1074,
                 form->IDC_1075, form->IDC_1076, form->IDC_1078, form->IDC_1079, form->IDC_1080,
                 form->IDC_1081, form->IDC_1098 })
            w->setEnabled(false);
        form->IDC_1018->clear();
        ShowBoardRtf(nullptr);
    }
    UpdateStatusBar();
    ReportStoppedGame(index);
}

void CPgnImport::ReportStoppedGame(int index)
{
    const CTraiteUnMot& interpreter = header->interpreter;
    std::string name = ListText(GameName(std::string(header->games[static_cast<size_t>(index)].listText)));
    if (interpreter.tooManyPlies) {
        std::string text = ReplaceArgument(LoadString(StringId::GameTooLong), "%1", name);
        AfxMessageBox(ReplaceArgument(text, "%2", std::to_string(m_limits.maxPlies)), MB_ICONERROR);
    } else if (interpreter.badFen) {
        AfxMessageBox(FormatString1(StringId::UnreadableFenTag, name), MB_ICONERROR);
    } else if (interpreter.stopped) {
        std::string text = ReplaceArgument(LoadString(StringId::MoveCannotBePlayed), "%1", name);
        text = ReplaceArgument(text, "%2", interpreter.stopMove);
        text = ReplaceArgument(text, "%3", std::to_string(interpreter.stopPly));
        AfxMessageBox(text, MB_ICONERROR);
    }
}

FontBoard CPgnImport::BoardFromFen(const std::string& placement)
{
    FontBoard board = BoardLetters::EmptyBoard(false);
    int row = 0;
    int cell = 1;
    for (char c : placement) {
        if (c == ' ') break;
        if (c == '/') {
            if (++row > 7) break;
            cell = 1;
        } else if (c >= '1' && c <= '8') {
            cell += c - '0';
        } else if (cell <= 8) {
            char light = BoardLetters::FontLetterForFen(c, false);
            if (light)
                board[row][cell] = BoardLetters::OnSquare(light, BoardLetters::IsLightSquare(row, cell));
            ++cell;
        }
    }
    return board;
}

PgnPositionRecord CPgnImport::RecordFromPly(PlyNode& ply) const
{
    PgnPositionRecord record;
    std::string fen(ply.fen.view());
    size_t start = fen.find_first_not_of(' ');
    fen = start == std::string::npos ? std::string() : fen.substr(start);
    size_t blank = fen.find(' ');
    record.board = BoardFromFen(fen.substr(0, blank));
    if (blank == std::string::npos) {
        record.side = 2;
    } else {
        record.side = fen.compare(blank + 1, 1, "w") == 0 ? 0 : 1;
        size_t rights = fen.find(' ', blank + 1);
        if (rights != std::string::npos) {
            for (char c : fen.substr(rights + 1)) {
                if (c == 'Q')
                    record.castling[0] = 1;
                else if (c == 'q')
                    record.castling[1] = 1;
                else if (c == 'K')
                    record.castling[2] = 1;
                else if (c == 'k')
                    record.castling[3] = 1;
                else if (c == ' ')
                    break;
            }
        }
    }
    record.ply = static_cast<int32_t>(ply.plyNumber);
    record.fullmoveNumber = ply.fullmoveNumber;
    record.halfmoveClock = ply.halfmoveClock;
    record.nags = ply.nags;
    record.move = ply.move;
    record.san = ply.san;
    // The records keep the comments from now on: the plies are only written again in other letters.
    record.comment = std::move(ply.comment);
    record.enPassant = EnPassantText(ply);
    ComposeText(record);
    return record;
}

std::string CPgnImport::MoveText(const PgnPositionRecord& record, bool show) const
{
    int number = record.ply % 2 ? (record.ply + 1) / 2 : record.ply / 2;
    std::string text = std::to_string(number) + (record.ply % 2 ? ". " : "... ") + record.move;
    if (show) return text;
    for (int32_t nag : record.nags) {
        if (nag == 0) continue;
        text += ' ';
        if (nag > 0) text += LoadString(static_cast<unsigned>(2998 + nag));
    }
    return text;
}

void CPgnImport::ComposeText(PgnPositionRecord& record) const
{
    std::string text = MoveText(record, false);
    if (m_bImportComments && !record.comment.empty()) text += ' ' + record.comment;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (header && header->utf8)
        CutUtf8(text);
    else
        Cut(text);
    record.text = text;
}

void CPgnImport::BuildRecordsFromGame()
{
    records.clear();
    records.reserve(header->interpreter.plies.size());
    for (PlyNode& ply : header->interpreter.plies) records.push_back(RecordFromPly(ply));
}

std::string CPgnImport::BoardRtf(const PgnPositionRecord* record)
{
    static const char* const startRows[8] = { "tMvWlVmT%", "OoOoOoOo%", " + + + +%", "+ + + + %", " + + + +%",
        "+ + + + %", "pPpPpPpP%", "RnBqKbNr%" };
    std::string rtf = PgnRtfHeader(45) + BoardLetters::TopFrameRow(false);
    for (int r = 0; r < 8; ++r) {
        rtf += "\\line";
        rtf += static_cast<char>(0xE7 - r);
        if (record)
            rtf += std::string(record->board[r].data() + 1, 9);
        else
            rtf += startRows[r];
    }
    rtf += "\\line/";
    for (int f = 0; f < 8; ++f) rtf += static_cast<char>(0xE8 + f);
    rtf += ") \n\\par }";
    return rtf;
}

void CPgnImport::ShowBoardRtf(const PgnPositionRecord* record)
{
    form->IDC_1071->SetRtf(BoardRtf(record));
}

void CPgnImport::ShowCurrent()
{
    if (current < 0 || current >= static_cast<int>(records.size())) return;
    const PgnPositionRecord& record = records[static_cast<size_t>(current)];
    form->IDC_1076->setChecked(record.selected != 0);
    form->IDC_1018->setText(FileText(MoveText(record, true)));
    ShowBoardRtf(&record);
    currentPly = record.ply;
    movingSlider = true;
    form->IDC_1098->setValue(record.ply);
    movingSlider = false;
}

void CPgnImport::UpdateNavigationButtons()
{
    if (current < 0) return;
    bool hasPrevious = current > 0;
    bool hasNext = current + 1 < static_cast<int>(records.size());
    form->IDC_1072->setEnabled(hasPrevious);
    form->IDC_1073->setEnabled(hasPrevious);
    form->IDC_1074->setEnabled(hasNext);
    form->IDC_1075->setEnabled(hasNext);
    bool chosen = records[static_cast<size_t>(current)].selected != 0;
    form->IDC_1081->setEnabled(chosen);
    form->IDC_1080->setEnabled(!chosen);
}

void CPgnImport::UpdateStatusBar()
{
    std::string comment = current >= 0 ? records[static_cast<size_t>(current)].text : std::string();
    commentPane->SetFullText(Codec::ToQt(LoadString(StringId::CommentsPane)) + FileText(comment));
    importedPane->setText(
        Codec::ToQt(LoadString(StringId::ImportedPane) + std::to_string(chosenEarlier + chosenInGame)));
}

void CPgnImport::GoToPly(int ply)
{
    if (records.empty()) return;
    int target = static_cast<int>(records.size()) - 1;
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].ply == ply) {
            target = static_cast<int>(i);
            break;
        }
    current = target;
    ShowCurrent();
    UpdateNavigationButtons();
    UpdateStatusBar();
}

void CPgnImport::OnFirst()
{
    if (!records.empty()) GoToPly(records.front().ply);
}
void CPgnImport::OnPrevious()
{
    if (current > 0) GoToPly(records[static_cast<size_t>(current - 1)].ply);
}
void CPgnImport::OnNext()
{
    if (current >= 0 && current + 1 < static_cast<int>(records.size()))
        GoToPly(records[static_cast<size_t>(current + 1)].ply);
}
void CPgnImport::OnLast()
{
    if (!records.empty()) GoToPly(records.back().ply);
}

void CPgnImport::AfterChoiceChange()
{
    bool all = chosenInGame == static_cast<int>(records.size());
    form->IDC_1079->setEnabled(chosenInGame > 0);
    form->IDC_1078->setEnabled(!all);
    UpdateNavigationButtons();
    UpdateStatusBar();
}

void CPgnImport::OnSelectPosition()
{
    if (current < 0) return;
    PgnPositionRecord& record = records[static_cast<size_t>(current)];
    record.selected = record.selected ? 0 : 1;
    chosenInGame += record.selected ? 1 : -1;
    form->IDC_1076->setChecked(record.selected != 0);
    AfterChoiceChange();
}

void CPgnImport::OnImport()
{
    if (current < 0 || records[static_cast<size_t>(current)].selected) return;
    records[static_cast<size_t>(current)].selected = 1;
    ++chosenInGame;
    form->IDC_1076->setChecked(true);
    AfterChoiceChange();
}

void CPgnImport::OnUnselect()
{
    if (current < 0 || !records[static_cast<size_t>(current)].selected) return;
    records[static_cast<size_t>(current)].selected = 0;
    --chosenInGame;
    form->IDC_1076->setChecked(false);
    AfterChoiceChange();
}

void CPgnImport::OnUnselectAll()
{
    for (PgnPositionRecord& record : records) record.selected = 0;
    chosenInGame = 0;
    form->IDC_1076->setChecked(false);
    AfterChoiceChange();
}

void CPgnImport::OnImportAll()
{
    DoDataExchange(true);
    if (!m_bWhiteMoves && !m_bBlackMoves) {
        AfxMessageBox(StringId::NoColourChosen, MB_ICONERROR);
        return;
    }
    if (records.empty()) return;
    int lastMove = (records.back().ply + 1) / 2;
    if (m_bInterval) {
        if (m_nFrom >= m_nTo || m_nFrom < 1) {
            std::string text
                = FormatString1(StringId::MoveRange, std::to_string((records.front().ply + 1) / 2));
            AfxMessageBox(ReplaceArgument(text, "%2", std::to_string(lastMove)), MB_OK);
            return;
        }
        if (m_nTo > lastMove) {
            m_nTo = lastMove;
            form->IDC_1087->setText(QString::number(m_nTo));
        }
    }
    int count = 0;
    for (PgnPositionRecord& record : records) {
        // The side to move after the ply tells who made it; a game from a position may begin with Black.
        bool whiteMove = record.side == 1 || (record.side == 2 && record.ply % 2 == 1);
        int number = (record.ply + 1) / 2;
        bool wanted = whiteMove ? m_bWhiteMoves : m_bBlackMoves;
        if (m_bInterval && (number < m_nFrom || number > m_nTo)) wanted = false;
        if (wanted) record.selected = 1;
        count += record.selected;
    }
    chosenInGame = count;
    form->IDC_1076->setChecked(current >= 0 && records[static_cast<size_t>(current)].selected);
    AfterChoiceChange();
}

void CPgnImport::OnInterval()
{
    bool on = form->IDC_1084->isChecked();
    m_bInterval = on;
    form->IDC_1086->setEnabled(on);
    form->IDC_1087->setEnabled(on);
}

void CPgnImport::OnSelchangeLanguage()
{
    comboIndex = std::max(0, form->IDC_1085->currentIndex());
    m_nLangIndex = comboIndex;
    if (comboIndex == UserLanguageIndex) header->interpreter.SetUserLetters(userLetters);
    int set = DisplaySetOf(comboIndex);
    header->interpreter.SetDisplaySet(set);
    // Every move is written again from the game's own move, never by swapping letters in the text.
    const PgnLetters::LetterSet& letters = header->interpreter.letterSets[static_cast<size_t>(set)];
    for (PgnPositionRecord& record : records) {
        record.move = PgnLetters::DisplayMove(record.san, letters);
        ComposeText(record);
    }
    if (current >= 0) {
        form->IDC_1018->setText(FileText(MoveText(records[static_cast<size_t>(current)], true)));
        UpdateStatusBar();
    }
}

void CPgnImport::OnAddLanguage()
{
    CSetPieces dialog(this);
    dialog.m_szHelpPath = m_szHelpPath;
    dialog.m_strFontFace = m_strFontFace;
    if (dialog.DoModal() != IDOK) return;
    if (dialog.m_strLetters.size() != 5) {
        AfxMessageBox(StringId::PieceLettersCount, MB_ICONERROR);
        return;
    }
    std::string name = dialog.m_strCountry.empty() ? std::string("NoName") : dialog.m_strCountry;
    while (form->IDC_1085->count() > UserLanguageIndex) form->IDC_1085->removeItem(UserLanguageIndex);
    form->IDC_1085->addItem(Codec::ToQt(name));
    form->IDC_1085->setCurrentIndex(UserLanguageIndex);
    comboIndex = UserLanguageIndex;
    m_nLangIndex = comboIndex;
    userLetters = dialog.m_strLetters;
}

void CPgnImport::OnClipboard()
{
    form->IDC_1071->Copy();
}

void CPgnImport::OnHelpButton()
{
    AfxHtmlHelp(this, m_szHelpPath + "/html/openpgn.htm", HH_DISPLAY_TOPIC);
}

void CPgnImport::CollectSelectedPositions()
{
    bool first = true;
    for (PgnPositionRecord& record : records) {
        if (!record.selected) continue;
        // The diagrams keep their texts in Windows-1252, whatever the file's own encoding.
        record.text = ListText(record.text);
        record.comment = ListText(record.comment);
        Cut(record.text);
        if (first) {
            std::string players = ListText(GameDescription(chosenGameText));
            std::string described = players.empty() ? record.text : players + " " + record.text;
            if (described.size() < 500) record.text = described;
            first = false;
        }
        m_result.push_back(std::move(record));
    }
    records.clear();
    current = -1;
}

void CPgnImport::DestroyWindow()
{
    if (closed) return;
    closed = true;
    if (form->IDC_1085->count() > UserLanguageIndex)
        m_strLang = Codec::FromQt(form->IDC_1085->itemText(UserLanguageIndex)) + " " + userLetters;
    CollectSelectedPositions();
    if (header) header->interpreter.FreePlyList();
}
