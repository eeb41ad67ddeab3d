// bench_files: builds lists of 1,000, 10,000 and 100,000 varied diagrams (coloured squares, arrows,
// comments, operations), writes them as BNX and EPD files in a temporary folder, then opens and saves
// each file through the code the File commands use, best of three. One line per size and file kind:
// "positions=N open_ms=T save_ms=T peak_kb=M file=KIND line_reader_ms=T copy_fsync_ms=T", peak_kb being
// the most heap in use during an open and a save. The last two are the peers, timed in the same run on
// the same file, best of three as well: a minimal C++ reader that goes through the file line by line,
// and a copy of the file made the way cp makes it, then written to the disk with fsync.
#include "positions/BoardLetters.h"
#include "positions/DiagramList.h"
#include "positions/FenLine.h"
#include "positions/Marks.h"
#include "positions/PositionFile.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <unistd.h>

namespace {

std::atomic<long long> inUse { 0 };
std::atomic<long long> peak { 0 };

void* allocate(std::size_t size)
{
    // The size is kept in front of the block so a release knows what it gives back.
    auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (!block) throw std::bad_alloc();
    *block = size;
    long long now = inUse += static_cast<long long>(size);
    long long seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) { }
    return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}

void release(void* p)
{
    if (!p) return;
    auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
    inUse -= static_cast<long long>(*block);
    std::free(block);
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void operator delete(void* p) noexcept
{
    release(p);
}
void operator delete[](void* p) noexcept
{
    release(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    release(p);
}

namespace {

// A legal position: kings on e1 and e8, rooks in the corners, pawns on the middle ranks (which give no
// check), so every line passes the legality check the open runs.
std::string RandomPlacement(std::mt19937& random)
{
    char squares[8][8];
    for (auto& row : squares)
        for (char& c : row) c = ' ';
    squares[0][0] = 'r';
    squares[0][4] = 'k';
    squares[0][7] = 'r';
    squares[7][0] = 'R';
    squares[7][4] = 'K';
    squares[7][7] = 'R';
    const int pawns = static_cast<int>(random() % 8);
    for (int i = 0; i < pawns; ++i) {
        squares[2 + random() % 4][random() % 8] = 'P';
        squares[2 + random() % 4][random() % 8] = 'p';
    }
    std::string field;
    for (int row = 0; row < 8; ++row) {
        int blanks = 0;
        for (int col = 0; col < 8; ++col) {
            if (squares[row][col] == ' ') {
                ++blanks;
                continue;
            }
            if (blanks) field += static_cast<char>('0' + blanks);
            blanks = 0;
            field += squares[row][col];
        }
        if (blanks) field += static_cast<char>('0' + blanks);
        if (row < 7) field += '/';
    }
    return field;
}

void BuildList(DiagramList& list, int count)
{
    std::mt19937 random(static_cast<unsigned>(count));
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string line = RandomPlacement(random) + (i % 2 ? " b" : " w") + " KQkq -";
        line += " acd " + std::to_string(i % 30) + ";";
        if (i % 3 == 0)
            line += " c0 \"Diagram " + std::to_string(i) + " " + "\xD5" + "study" + "\xD5" + "**line\";";
        line += " fmvn " + std::to_string(i % 90 + 1) + ";";
        FenLine::ParsePositionLine(list, line, false, false);
        DiagramRecord& r = *list.m_pLastDiagram;
        if (i % 4 == 0) {
            r.colours.Set(random() % 8, 1 + random() % 8, static_cast<int8_t>(1 + random() % 4));
            r.colouredCount = 1;
        }
        for (int m = 0; m < i % 4; ++m)
            Marks::AddMark(r, Marks::KindColour, true, 1 + static_cast<int>(random() % 64),
                1 + static_cast<int>(random() % 64), static_cast<uint8_t>(1 + m));
    }
    list.m_nLastIndex = count - 1;
    for (int p = 0; p < (count + 8) / 9; ++p) list.AddHeaderNode(p > 0, p == 0);
    list.m_pFirstPage->title = "Bench";
    list.UpdatePageCount();
}

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The peer of Open: every line of the file read once, and nothing done with it but counting.
long long ReadLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    long long bytes = 0;
    for (std::string line; std::getline(in, line);) bytes += static_cast<long long>(line.size()) + 1;
    return bytes;
}

// The peer of Save: cp, then fsync of the copy.
bool CopyAndSync(const std::string& from, const std::string& to)
{
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) return false;
    const int fd = ::open(to.c_str(), O_WRONLY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

} // namespace

int main()
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("bench_files-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (int count : { 1000, 10000, 100000 }) {
        for (const char* extension : { "bnx", "epd" }) {
            const std::string path = (folder / (std::string("list.") + extension)).string();
            PositionFile::WriteOptions options;
            options.extension = extension;
            {
                DiagramList built;
                built.m_strExtension = extension;
                BuildList(built, count);
                PositionFile::SaveResult made = PositionFile::SaveToFile(built, options, path);
                if (!made.ok) {
                    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), made.reason.c_str());
                    return 1;
                }
            }
            using Clock = std::chrono::steady_clock;
            double openMs = 1e300, saveMs = 1e300, readerMs = 1e300, copyMs = 1e300;
            long long peakKb = 0;
            const std::string copy = path + ".copy";
            for (int round = 0; round < 3; ++round) {
                const long long before = inUse.load();
                peak = before;
                {
                    DiagramList list;
                    PositionFile::ReadOptions read;
                    read.extension = extension;
                    std::string reason;
                    auto start = Clock::now();
                    PositionFile::ReadResult result = PositionFile::ReadFile(path, read, list, reason);
                    auto opened = Clock::now();
                    if (result.status != PositionFile::ReadStatus::Ok || result.diagramsMade != count) {
                        std::fprintf(stderr, "open of %s read %d of %d diagrams %s\n", path.c_str(),
                            result.diagramsMade, count, reason.c_str());
                        return 1;
                    }
                    PositionFile::SaveResult saved = PositionFile::SaveToFile(list, options, path);
                    auto done = Clock::now();
                    if (!saved.ok) {
                        std::fprintf(stderr, "cannot save %s: %s\n", path.c_str(), saved.reason.c_str());
                        return 1;
                    }
                    openMs = std::min(openMs, Milliseconds(opened - start));
                    saveMs = std::min(saveMs, Milliseconds(done - opened));
                    peakKb = std::max(peakKb, (peak.load() - before) / 1024);
                }
                auto start = Clock::now();
                if (ReadLines(path) == 0) return 1;
                auto read = Clock::now();
                if (!CopyAndSync(path, copy)) {
                    std::fprintf(stderr, "cannot copy %s\n", path.c_str());
                    return 1;
                }
                auto copied = Clock::now();
                readerMs = std::min(readerMs, Milliseconds(read - start));
                copyMs = std::min(copyMs, Milliseconds(copied - read));
            }
            std::printf("positions=%d open_ms=%.0f save_ms=%.0f peak_kb=%lld file=%s line_reader_ms=%.0f "
                        "copy_fsync_ms=%.0f\n",
                count, openMs, saveMs, peakKb, extension, readerMs, copyMs);
            std::fflush(stdout);
        }
    }

    // One line of a gigabyte (or BENCH_LONG_LINE_MB megabytes) between two positions: it is listed as
    // faulty, and neither time nor memory should grow with it beyond reading past it.
    const char* megabytesText = std::getenv("BENCH_LONG_LINE_MB");
    const long long megabytes = megabytesText ? std::atoll(megabytesText) : 1024;
    const std::string path = (folder / "long.epd").string();
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out) return 1;
        const std::string position = "4k3/8/8/8/8/8/8/4K3 w - -\r\n";
        std::fputs(position.c_str(), out);
        const std::string chunk(1 << 20, 'x');
        for (long long i = 0; i < megabytes; ++i) std::fwrite(chunk.data(), 1, chunk.size(), out);
        std::fputs("\r\n", out);
        std::fputs(position.c_str(), out);
        std::fclose(out);
    }
    const long long before = inUse.load();
    peak = before;
    DiagramList list;
    PositionFile::ReadOptions read;
    read.extension = "epd";
    std::string reason;
    auto start = std::chrono::steady_clock::now();
    PositionFile::ReadResult result = PositionFile::ReadFile(path, read, list, reason);
    auto opened = std::chrono::steady_clock::now();
    std::printf("long_line_mb=%lld open_ms=%.0f peak_kb=%lld diagrams=%d faulty_lines=%d\n", megabytes,
        Milliseconds(opened - start), (peak.load() - before) / 1024, result.diagramsMade,
        result.errors.FaultyLineCount());
    fs::remove_all(folder);
    return result.diagramsMade == 2 && result.errors.FaultyLineCount() == 1 ? 0 : 1;
}
