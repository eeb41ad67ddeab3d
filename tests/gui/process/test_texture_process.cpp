// The texture a user picks while the window is semi-transparent is the one the next session keeps.
#include "ProgramProcess.h"

namespace {

const QString Transparent = "menu View/Transparent window Mode";
const QString Exit = "menu File/Exit";

struct TextureCase {
    const char* name;
    QStringList script; // run from a start with the chalk texture and the window opaque
    int stored; // the texture stored at exit
    int transparentFlag;
};
void PrintTo(const TextureCase& c, std::ostream* os)
{
    *os << c.name;
}
class TextureInTransparentMode : public ProgramProcess, public ::testing::WithParamInterface<TextureCase> { };

TEST_P(TextureInTransparentMode, ChoiceMadeMeanwhileIsKept)
{
    const TextureCase& c = GetParam();
    WriteIni("[Display]\nTexture=3\n");
    QStringList script = c.script;
    script << Exit;
    const Run run = Start(script);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(Stored("Display/Texture").toInt(), c.stored) << run.log.join('\n').toStdString();
    EXPECT_EQ(Stored("Display/TransparentWindowsFlag").toInt(), c.transparentFlag);

    // The next session shows no texture while it is semi-transparent, and the stored one once it leaves
    // that mode.
    const Run next = Start({ "report", Transparent, "report", Exit });
    ASSERT_TRUE(next.ended);
    const QStringList textures = next.Lines("texture");
    ASSERT_EQ(textures.size(), 2);
    EXPECT_EQ(textures.back().toInt(), c.transparentFlag ? c.stored : 0);
    EXPECT_EQ(textures.front().toInt(), c.transparentFlag ? 0 : c.stored);
}

INSTANTIATE_TEST_SUITE_P(Choices, TextureInTransparentMode,
    ::testing::Values(TextureCase { "WatercolorChosenThenExit",
                          { Transparent, "menu View/Background textures/Watercolor paper" }, 2, 1 },
        TextureCase {
            "NoneChosenThenExit", { Transparent, "menu View/Background textures/Without texture" }, 0, 1 },
        TextureCase { "RagPaperChosenThenModeLeft",
            { Transparent, "menu View/Background textures/Rag paper", Transparent, "report" }, 1, 0 },
        TextureCase { "NothingChosen", { Transparent }, 3, 1 }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
