// RTF from other programs: parameters of any length, font sizes no view can show.

#include "platform/RtfReader.h"

#include <gtest/gtest.h>

namespace {

TEST(RtfReaderParameters, OutOfRangeNumbersAreHeldAtTheirBounds)
{
    struct Case {
        const char* name;
        const char* rtf;
        int halfPoints;
    };
    const Case cases[] = {
        { "an ordinary size", "{\\rtf1\\fs71 ab\\line cd}", 71 },
        { "eleven digits", "{\\rtf1\\fs99999999999 ab\\line cd}", 3276 },
        { "forty digits", "{\\rtf1\\fs9999999999999999999999999999999999999999 ab\\line cd}", 3276 },
        { "one above the largest size", "{\\rtf1\\fs3277 ab\\line cd}", 3276 },
        { "negative", "{\\rtf1\\fs-99999999999 ab\\line cd}", 1 },
        { "zero", "{\\rtf1\\fs0 ab\\line cd}", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Rtf::Line> lines = Rtf::Read(c.rtf);
        ASSERT_EQ(lines.size(), 2u);
        ASSERT_EQ(lines[0].size(), 1u);
        EXPECT_EQ(lines[0][0].halfPoints, c.halfPoints);
        EXPECT_EQ(lines[0][0].bytes, "ab") << "the digits end the word, whatever their number";
        EXPECT_EQ(lines[1][0].bytes, "cd");
    }
}

} // namespace
