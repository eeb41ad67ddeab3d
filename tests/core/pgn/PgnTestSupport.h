#pragma once

#include "pgn/CTraiteUnMot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace PgnTest {

// Hands the move text to the interpreter word by word, as a game read does: the rest of a line is
// dropped after a line comment, and the game is replayed at its end.
inline void Feed(CTraiteUnMot& interpreter, std::string_view text)
{
    size_t i = 0;
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (i < text.size()) {
        while (i < text.size() && space(text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !space(text[i])) ++i;
        if (i == start) break;
        if (interpreter.ContinueToken(text.substr(start, i - start)) == CTraiteUnMot::GameComplete) return;
        if (interpreter.SkipsRestOfLine()) {
            size_t end = text.find('\n', i);
            i = end == std::string_view::npos ? text.size() : end;
        }
    }
    interpreter.EndGame();
}

// Replays one game in the given letter set, from the FEN (empty: the standard start).
inline void Replay(CTraiteUnMot& interpreter, std::string_view fen, std::string_view moves, int letterSet = 5,
    bool coordinate = false)
{
    interpreter.fileLetterSet = static_cast<uint8_t>(letterSet);
    interpreter.coordinateFlag = coordinate ? 1 : 0;
    interpreter.NewGame();
    interpreter.SetFenTag(fen);
    Feed(interpreter, moves);
}

inline std::vector<std::string> Fens(const CTraiteUnMot& interpreter)
{
    std::vector<std::string> fens;
    for (const PlyNode& ply : interpreter.plies) fens.push_back(FullFen(ply));
    return fens;
}

inline std::vector<std::string> Sans(const CTraiteUnMot& interpreter)
{
    std::vector<std::string> sans;
    for (const PlyNode& ply : interpreter.plies) sans.push_back(ply.san);
    return sans;
}

// A file in the test's temporary folder, removed with the object.
class TempFile {
public:
    explicit TempFile(std::string_view contents, std::string_view name = "game.pgn")
    {
        path_ = std::filesystem::temp_directory_path()
            / (std::string("brennix-pgn-") + std::to_string(::getpid()) + "-" + std::to_string(counter()++)
                + "-" + std::string(name));
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        std::fwrite(contents.data(), 1, contents.size(), f);
        std::fclose(f);
    }
    ~TempFile() { std::filesystem::remove(path_); }
    std::string path() const { return path_.string(); }

private:
    static int& counter()
    {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Placement, side, castling and en passant: the fields pgn-extract's EPD lines and ours share.
inline std::string FourFields(const std::string& line)
{
    std::istringstream in(line);
    std::string field;
    std::string out;
    for (int i = 0; i < 4 && in >> field; ++i) out += (i ? " " : "") + field;
    return out;
}

// The positions after every ply of each game, in the four fields.
using GamePositions = std::vector<std::vector<std::string>>;

// pgn-extract's EPD output: one line per position, from the start of each game, games apart by blank
// lines. Games without a move (a forfeit, a chapter of text) are left out, as the import lists none.
inline GamePositions ExpectedGames(const std::string& epd)
{
    GamePositions games(1);
    std::istringstream in(epd);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            if (!games.back().empty()) games.emplace_back();
            continue;
        }
        games.back().push_back(FourFields(line));
    }
    std::erase_if(games, [](const auto& game) { return game.size() < 2; });
    // The start position is no ply.
    for (auto& game : games) game.erase(game.begin());
    return games;
}

// pgn-extract's positions for a file, written at test time; scripts/setup.sh installs pgn-extract.
inline std::string PgnExtractPositions(const std::string& pgn, const std::string& options = "")
{
    const char* tool = "/usr/games/pgn-extract";
    if (!std::ifstream(tool).good()) {
        ADD_FAILURE() << "scripts/setup.sh installs pgn-extract";
        return {};
    }
    TempFile out("", "positions.epd");
    std::string command = std::string(tool) + " -s --nofauxep " + options + " -Wepd -o '" + out.path() + "' '"
        + pgn + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadFile(out.path());
}

// pgn-extract's positions for the games of a text.
inline GamePositions PgnExtractGames(std::string_view text)
{
    TempFile pgn(text, "plain.pgn");
    return ExpectedGames(PgnExtractPositions(pgn.path()));
}

} // namespace PgnTest
