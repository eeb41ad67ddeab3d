// RTF as the PGN import's board view and the copy of a board are given it: the program's own reader of
// font tables, font sizes, line breaks and escaped bytes, on any text.

#include "FuzzSupport.h"

#include "platform/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view rtf(reinterpret_cast<const char*>(data), size);
    std::vector<Rtf::Line> lines = Rtf::Read(rtf);
    FUZZ_CHECK(!lines.empty());
    size_t bytes = 0;
    for (const Rtf::Line& line : lines) {
        for (const Rtf::Run& run : line) {
            bytes += run.bytes.size();
            // The view turns half points into pixels and multiplies them by the run's length.
            FUZZ_CHECK(run.halfPoints >= 1 && run.halfPoints <= 3276);
        }
    }
    // Every byte shown came from at least one byte of the text.
    FUZZ_CHECK(bytes <= size);
    Rtf::PlainLines(rtf);
    return 0;
}
