#pragma once

#include "pgn/CTraiteUnMot.h"

#include <cstdio>
#include <filesystem>
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

} // namespace PgnTest
