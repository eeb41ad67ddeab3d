#include "picture/CQuantizer.h"
#include "picture/CxImage.h"
#include "platform/ChessFont.h"
#include "platform/Clipboard.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <limits>

using namespace Win32;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The packed DIB the clipboard holds, read by Qt's BMP reader behind a file header of its own.
QImage DecodeDib(const std::vector<unsigned char>& dib)
{
    if (dib.size() < 40) return {};
    auto u32 = [&](size_t at) {
        return uint32_t(dib[at]) | uint32_t(dib[at + 1]) << 8 | uint32_t(dib[at + 2]) << 16
            | uint32_t(dib[at + 3]) << 24;
    };
    const uint32_t bits = dib[14] | dib[15] << 8;
    uint32_t colours = u32(32);
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    QByteArray file("BM");
    auto put32 = [&file](uint32_t v) {
        for (int i = 0; i < 4; ++i) file.append(char(v >> (8 * i)));
    };
    put32(uint32_t(14 + dib.size()));
    put32(0);
    put32(14 + 40 + 4 * colours);
    file.append(reinterpret_cast<const char*>(dib.data()), qsizetype(dib.size()));
    return QImage::fromData(file, "BMP");
}

int Distance(QRgb a, QRgb b)
{
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

double Psnr(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) sum += Distance(a.pixel(x, y), b.pixel(x, y));
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? std::numeric_limits<double>::infinity() : 10 * std::log10(255.0 * 255.0 / mse);
}

// Every pixel of a palette picture must be the palette entry nearest to what the screen shows there.
::testing::AssertionResult NearestEntries(const QImage& written, const QImage& screen)
{
    const QList<QRgb> table = written.colorTable();
    if (table.isEmpty()) return ::testing::AssertionFailure() << "no palette";
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            const QRgb want = screen.pixel(x, y);
            int best = std::numeric_limits<int>::max();
            for (QRgb entry : table) best = std::min(best, Distance(entry, want));
            if (Distance(written.pixel(x, y), want) != best)
                return ::testing::AssertionFailure()
                    << "pixel (" << x << ", " << y << ") is not the nearest entry";
        }
    return ::testing::AssertionSuccess();
}

class PictureCommandTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        ASSERT_TRUE(folder.isValid());
    }

    // The start position on a view of a fixed size, the board at the size the size command sets.
    CPlaviaView& Board(int texture, bool coordinates, int pictureSize = 450)
    {
        AppSettings::PNGSaveCoords = coordinates ? 1 : 0;
        CPlaviaView& view = View();
        view.resize(1100, 700);
        SettingsState::currentTexture = texture;
        SettingsState::backgroundColour = texture ? RGB(255, 255, 255) : RGB(230, 230, 210);
        view.SetBoardPosition(1);
        DialogScript dialogs;
        dialogs.Then([pictureSize](CDialog& d) {
            d.findChild<QLineEdit*>("IDC_1011")->setText(QString::number(pictureSize));
            return int(IDOK);
        });
        view.OnDiagramSize();
        return view;
    }

    // The board area as the widget paints itself on screen.
    static QImage Screen(CPlaviaView& view)
    {
        const RECT r = view.PictureRect();
        QImage whole = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage area(r.Width(), r.Height(), QImage::Format_RGB32);
        area.fill(Qt::transparent);
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x)
                if (whole.rect().contains(r.left + x, r.top + y))
                    area.setPixel(x, y, whole.pixel(r.left + x, r.top + y));
        return area;
    }

    std::string Path(const QString& name) const
    {
        return QFile::encodeName(folder.filePath(name)).toStdString();
    }

    // Save as picture through the dialog and the timer's tick.
    void Save(CPlaviaView& view, const std::string& path, int kind = 0)
    {
        FileDialogScript files;
        files.Answer(path, kind);
        view.OnSaveAsPicture();
        ASSERT_EQ(files.asked.size(), 1u);
        EXPECT_TRUE(view.PictureTimerRunning(2));
        view.OnTimer(2);
        EXPECT_FALSE(view.PictureTimerRunning(2));
    }

    static bool HaveBoardFont() { return ChessFontFace::Find("Varnok Fairy") != nullptr; }

    QTemporaryDir folder;
};

#define REQUIRE_BOARD_FONT()                                                                                 \
    do {                                                                                                     \
        if (!HaveBoardFont()) GTEST_SKIP() << "the chess fonts are not installed (run scripts/setup.sh)";    \
    } while (0)

// --- the picture rectangle

TEST_F(PictureCommandTest, PictureRectangleFollowsTheBoardAndTheCoordinatesSetting)
{
    struct Case {
        bool coordinates;
        RECT board;
        int square;
        RECT picture;
    };
    const Case cases[] = {
        { true, { 115, 54, 574, 513 }, 51, { 140, 29, 599, 501 } }, // 459 x 472
        { false, { 115, 54, 574, 513 }, 51, { 154, 42, 586, 474 } }, // 432 x 432
        { true, { 115, 20, 574, 479 }, 51, { 140, 8, 599, 467 } }, // s/2 above the top edge: T - s/4
        { true, { 115, 25, 574, 484 }, 51, { 140, 0, 599, 472 } }, // s/2 equal to it: T - s/2
    };
    CPlaviaView& view = View();
    for (const Case& c : cases) {
        AppSettings::PNGSaveCoords = c.coordinates;
        view.m_rectBoard = c.board;
        view.m_nSquareSize = c.square;
        const RECT r = view.PictureRect();
        EXPECT_EQ(r.left, c.picture.left);
        EXPECT_EQ(r.top, c.picture.top);
        EXPECT_EQ(r.right, c.picture.right);
        EXPECT_EQ(r.bottom, c.picture.bottom);
    }
}

// --- capture

TEST_F(PictureCommandTest, CaptureHasThePixelsTheScreenShows)
{
    REQUIRE_BOARD_FONT();
    for (int texture : { 0, 1, 3 })
        for (bool coordinates : { true, false }) {
            SCOPED_TRACE(testing::Message() << "texture " << texture << " coordinates " << coordinates);
            CPlaviaView& view = Board(texture, coordinates);
            CxImage image;
            ASSERT_TRUE(view.CaptureBoard(image)) << image.GetLastError();
            EXPECT_EQ(image.GetBpp(), 24u);
            const QImage screen = Screen(view);
            const QImage captured = DecodeDib(image.CopyToHandle());
            ASSERT_EQ(captured.size(), screen.size());
            EXPECT_EQ(captured.convertToFormat(QImage::Format_RGB32), screen);
            // The paper shows in the picture, not only in the window: the empty light square a6 is not plain.
            const RECT r = view.PictureRect();
            const int s = view.m_nSquareSize;
            const QPoint a6(
                view.m_rectBoard.left + s + s / 2 - r.left, view.m_rectBoard.top + 2 * s + s / 2 - r.top);
            int plain = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) plain += captured.pixel(a6 + QPoint(x, y)) == captured.pixel(a6);
            EXPECT_EQ(plain < 64, texture != 0);
            frame.reset();
        }
}

TEST_F(PictureCommandTest, BoardPartlyOutsideTheWindowIsCapturedWhole)
{
    REQUIRE_BOARD_FONT();
    for (int texture : { 0, 1 }) {
        CPlaviaView& view = Board(texture, true);
        CxImage inside;
        ASSERT_TRUE(view.CaptureBoard(inside));
        view.resize(300, 200); // the window now shows only the top-left of the board
        CxImage cut;
        ASSERT_TRUE(view.CaptureBoard(cut));
        // Texture included: the part of the board outside the window is painted as the rest.
        EXPECT_EQ(DecodeDib(cut.CopyToHandle()), DecodeDib(inside.CopyToHandle())) << texture;
        frame.reset();
    }
}

// --- Copy (BMP mode)

TEST_F(PictureCommandTest, CopyLeavesOnlyTheBoardBitmapOnTheClipboard)
{
    REQUIRE_BOARD_FONT();
    CPlaviaView& view = Board(1, true);
    Clipboard::SetData("something else");
    view.OnCopyBmp();
    EXPECT_TRUE(view.PictureTimerRunning(1));
    EXPECT_FALSE(Clipboard::GetDib().has_value()); // nothing happens before the tick
    view.OnTimer(1);
    EXPECT_FALSE(view.PictureTimerRunning(1));
    std::optional<std::vector<unsigned char>> dib = Clipboard::GetDib();
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(DecodeDib(*dib).convertToFormat(QImage::Format_RGB32), Screen(view));
    EXPECT_FALSE(Clipboard::HasText());
    EXPECT_FALSE(Clipboard::GetRtf().has_value());
    // Other programs are offered the same picture.
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), Screen(view).size());
}

TEST_F(PictureCommandTest, EachTickStopsItsOwnTimer)
{
    REQUIRE_BOARD_FONT();
    CPlaviaView& view = Board(0, true);
    FileDialogScript files;
    files.Answer(Path("both.png"));
    view.OnCopyBmp();
    view.OnSaveAsPicture();
    EXPECT_EQ(pictureTimerId, 2u);
    ASSERT_TRUE(view.PictureTimerRunning(1));
    ASSERT_TRUE(view.PictureTimerRunning(2));
    // The copy's tick leaves the save waiting, and the copy does not come back.
    view.OnTimer(1);
    EXPECT_FALSE(view.PictureTimerRunning(1));
    EXPECT_TRUE(view.PictureTimerRunning(2));
    EXPECT_TRUE(Clipboard::GetDib().has_value());
    view.OnTimer(2);
    EXPECT_FALSE(view.PictureTimerRunning(2));
    EXPECT_TRUE(QFile::exists(folder.filePath("both.png")));
    // A tick of an id the view never started changes nothing.
    view.OnTimer(7);
}

TEST_F(PictureCommandTest, TheTimerTicksOnceAfterTheCommand)
{
    REQUIRE_BOARD_FONT();
    CPlaviaView& view = Board(0, false);
    Clipboard::SetData("something else");
    view.OnCopyBmp();
    QElapsedTimer clock;
    clock.start();
    while (!Clipboard::GetDib() && clock.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(Clipboard::GetDib().has_value());
    EXPECT_GE(clock.elapsed(), 150);
    EXPECT_FALSE(view.PictureTimerRunning(1));
    EXPECT_EQ(pictureTimerId, 1u);
}

// --- Save as picture

TEST_F(PictureCommandTest, SavedPicturesMatchTheBoardAtTheChosenSize)
{
    REQUIRE_BOARD_FONT();
    struct Case {
        int texture;
        bool coordinates;
        int pictureSize;
        QSize expected;
        int pngBits;
    };
    const Case cases[] = {
        { 0, true, 450, { 450, 463 }, 4 }, // squares of 50
        { 0, false, 450, { 442, 442 }, 4 }, // squares of 52
        { 1, true, 450, { 450, 463 }, 8 }, { 2, false, 300, { 296, 296 }, 8 }, // squares of 35
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "texture " << c.texture << " coordinates " << c.coordinates);
        CPlaviaView& view = Board(c.texture, c.coordinates, c.pictureSize);
        const QImage screen = Screen(view);
        ASSERT_EQ(screen.size(), c.expected);
        MessageBoxScript boxes;
        const QString stem = QString("board%1").arg(n++);
        for (const char* extension : { ".png", ".bmp", ".jpg" }) {
            const QString name = stem + extension;
            Save(view, Path(name));
            const QImage written(folder.filePath(name));
            ASSERT_FALSE(written.isNull()) << name.toStdString();
            ASSERT_EQ(written.size(), c.expected);
            if (std::string(extension) == ".jpg") {
                EXPECT_EQ(written.colorCount(), 0);
                EXPECT_GT(Psnr(written.convertToFormat(QImage::Format_RGB32), screen), 25.0);
                // Quality 50 keeps the standard luminance table as it is: its first step is 16.
                const QByteArray jpeg = ReadAll(folder.filePath(name));
                const qsizetype table = jpeg.indexOf("\xFF\xDB");
                ASSERT_GT(table, 0);
                EXPECT_EQ(int(uint8_t(jpeg[table + 5])), 16);
            } else {
                EXPECT_LE(written.colorCount(), c.pngBits == 4 ? 16 : 256);
                EXPECT_TRUE(NearestEntries(written, screen));
                EXPECT_GT(Psnr(written.convertToFormat(QImage::Format_RGB32), screen), 20.0);
            }
        }
        const QByteArray png = ReadAll(folder.filePath(stem + ".png"));
        ASSERT_GT(png.size(), 26);
        EXPECT_EQ(int(png[24]), c.pngBits); // IHDR bit depth
        EXPECT_EQ(int(png[25]), 3); // palette colours
        const QByteArray bmp = ReadAll(folder.filePath(stem + ".bmp"));
        ASSERT_GT(bmp.size(), 30);
        EXPECT_EQ(int(bmp[28]), c.pngBits); // biBitCount
        EXPECT_TRUE(boxes.asked.empty());
        frame.reset();
    }
}

// The reduction of the board picture, on every background and at both depths, must give each pixel the
// index the lookup of each pixel on its own gives, and the written files must hold those pixels.
TEST_F(PictureCommandTest, ReductionOfEveryBackgroundGivesEachPixelItsLookedUpIndex)
{
    REQUIRE_BOARD_FONT();
    for (int texture = 0; texture <= 3; ++texture) {
        CPlaviaView& view = Board(texture, true);
        for (bool textured : { false, true }) {
            SCOPED_TRACE(testing::Message() << "texture " << texture << " 256 colours " << textured);
            CxImage captured;
            ASSERT_TRUE(view.CaptureBoard(captured));
            CxImage reduced;
            const std::vector<uint8_t> dib = captured.CopyToHandle();
            ASSERT_TRUE(reduced.CreateFromHANDLE(dib.data(), dib.size()));
            std::string error;
            ASSERT_TRUE(CPlaviaView::ReducePictureColours(reduced, textured, error)) << error;

            const uint32_t colours = textured ? 256 : 16;
            std::vector<RGBQUAD> palette(colours);
            CQuantizer quantizer(colours, textured ? 8 : 4);
            ASSERT_TRUE(quantizer.ProcessImage(captured.GetDIB(), captured.GetSize()));
            quantizer.SetColorTable(palette.data());
            CxImage lookup;
            ASSERT_TRUE(
                lookup.Create(int32_t(captured.GetWidth()), int32_t(captured.GetHeight()), textured ? 8 : 4));
            lookup.SetPalette(palette.data(), colours);
            lookup.SetClrImportant(colours);
            for (int32_t y = 0; y < int32_t(captured.GetHeight()); ++y)
                for (int32_t x = 0; x < int32_t(captured.GetWidth()); ++x)
                    lookup.SetPixelColor(x, y, captured.GetPixelColor(x, y));
            ASSERT_EQ(reduced.GetSize(), lookup.GetSize());
            EXPECT_EQ(std::memcmp(reduced.GetDIB(), lookup.GetDIB(), lookup.GetSize()), 0);

            for (ImageType type : { ImageTypePng, ImageTypeBmp }) {
                const QString name = QString("t%1-%2.%3")
                                         .arg(texture)
                                         .arg(textured)
                                         .arg(type == ImageTypePng ? "png" : "bmp");
                ASSERT_TRUE(reduced.saveAtomically(Path(name), type));
                const QImage written = QImage(folder.filePath(name)).convertToFormat(QImage::Format_RGB32);
                ASSERT_EQ(written.size(), QSize(int(lookup.GetWidth()), int(lookup.GetHeight())));
                int wrong = 0;
                for (int y = 0; y < written.height(); ++y)
                    for (int x = 0; x < written.width(); ++x) {
                        const RGBQUAD c = lookup.GetPixelColor(x, written.height() - 1 - y);
                        wrong += written.pixel(x, y) != qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
                    }
                EXPECT_EQ(wrong, 0) << name.toStdString();
            }
        }
        frame.reset();
    }
}

TEST_F(PictureCommandTest, AfterSavingTheClipboardHoldsTheTextCopy)
{
    REQUIRE_BOARD_FONT();
    CPlaviaView& view = Board(0, true);
    // Another program's picture on the clipboard is never what gets saved.
    Clipboard::SetData({}, {}, std::vector<unsigned char>(40 + 16, 0));
    Save(view, Path("board.png"));
    EXPECT_EQ(QImage(folder.filePath("board.png")).size(), Screen(view).size());
    EXPECT_TRUE(Clipboard::GetRtf().has_value());
    EXPECT_EQ(Clipboard::GetText()->substr(0, 10), "!\"\"\"\"\"\"\"\"#");
    EXPECT_FALSE(Clipboard::GetDib().has_value());
}

TEST_F(PictureCommandTest, TransparentColourOnlyInSixteenColourPictures)
{
    REQUIRE_BOARD_FONT();
    AppSettings::SaveTtansparent = 1;
    for (int texture : { 0, 1 }) {
        CPlaviaView& view = Board(texture, true);
        const QString name = QString("clear%1.png").arg(texture);
        Save(view, Path(name));
        const QByteArray png = ReadAll(folder.filePath(name));
        EXPECT_EQ(png.contains("tRNS"), texture == 0);
        const QImage written(folder.filePath(name));
        // The bottom-left pixel's colour is the transparent one.
        EXPECT_EQ(qAlpha(written.pixel(0, written.height() - 1)), texture == 0 ? 0 : 255);
        frame.reset();
    }
}

TEST_F(PictureCommandTest, CancelledDialogStartsNothing)
{
    CPlaviaView& view = View();
    FileDialogScript files;
    files.Cancel();
    view.OnSaveAsPicture();
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_FALSE(files.asked[0].open);
    EXPECT_EQ(files.asked[0].defaultExtension, "png");
    EXPECT_EQ(files.asked[0].initialName, "*.png");
    EXPECT_EQ(
        files.asked[0].filter, "PNG Files (*.png)|*.png|JPG Files (*.jpg)|*.jpg|BMP Files (*.bmp)|*.bmp||");
    EXPECT_FALSE(view.PictureTimerRunning(2));
}

TEST_F(PictureCommandTest, FormatFollowsTheExtensionOrElseTheChosenKind)
{
    struct Case {
        const char* typed;
        int kind;
        const char* written;
        const char* magic;
        const char* extension;
    };
    const Case cases[] = {
        { "a.PNG", 2, "a.PNG", "\x89PNG", "png" },
        { "b.Jpeg", 0, "b.Jpeg", "\xFF\xD8\xFF", "jpeg" },
        { "c.JPG", 0, "c.JPG", "\xFF\xD8\xFF", "jpg" },
        { "d.Bmp", 1, "d.Bmp", "BM", "bmp" },
        { "e.gif", 1, "e.gif.jpg", "\xFF\xD8\xFF", "jpg" },
        { "f", 2, "f.bmp", "BM", "bmp" },
        { "g.", 0, "g.png", "\x89PNG", "png" },
        { "h.txt", 0, "h.txt.png", "\x89PNG", "png" },
    };
    CPlaviaView& view = Board(0, false);
    MessageBoxScript boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Save(view, Path(c.typed), c.kind);
        EXPECT_EQ(view.m_strPicturePath, Path(c.written));
        EXPECT_EQ(view.m_strPictureExtension, c.extension);
        EXPECT_TRUE(ReadAll(folder.filePath(c.written)).startsWith(c.magic));
    }
    EXPECT_FALSE(QFile::exists(folder.filePath("e.gif")));
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), qsizetype(std::size(cases)));
}

TEST_F(PictureCommandTest, AddedExtensionAsksBeforeReplacingAFile)
{
    CPlaviaView& view = Board(0, false);
    {
        QFile old(folder.filePath("kept.gif.png"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    MessageBoxScript boxes;
    boxes.Answer(IDNO);
    FileDialogScript files;
    files.Answer(Path("kept.gif"));
    view.OnSaveAsPicture();
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("kept.gif.png"), std::string::npos);
    EXPECT_FALSE(view.PictureTimerRunning(2));
    EXPECT_EQ(ReadAll(folder.filePath("kept.gif.png")), "old");
    // Yes goes on and replaces it.
    boxes.Answer(IDYES);
    files.Answer(Path("kept.gif"));
    view.OnSaveAsPicture();
    ASSERT_TRUE(view.PictureTimerRunning(2));
    view.OnTimer(2);
    EXPECT_TRUE(ReadAll(folder.filePath("kept.gif.png")).startsWith("\x89PNG"));
}

TEST_F(PictureCommandTest, FailedSaveShowsTheErrorAndLeavesNoFile)
{
    CPlaviaView& view = Board(0, true);
    {
        QFile plain(folder.filePath("plain"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(folder.path()).mkdir("sub.png"));
    const std::string paths[] = {
        Path("missing%2/board%1.png"), // no such folder
        Path("plain/board.jpg"), // a file where the folder should be
        "/proc/brennix-board.bmp", // a folder nobody may write in
        Path("sub.png"), // a folder where the file should be
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        MessageBoxScript boxes;
        FileDialogScript files;
        files.Answer(path);
        view.OnSaveAsPicture();
        view.OnTimer(2);
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].style, unsigned(MB_ICONERROR));
        EXPECT_NE(boxes.asked[0].text.find(view.m_strPicturePath), std::string::npos);
        EXPECT_NE(boxes.asked[0].text.find("Can't"), std::string::npos) << boxes.asked[0].text;
        EXPECT_FALSE(QFileInfo(QFile::decodeName(view.m_strPicturePath.c_str())).isFile());
        // The text copy still follows.
        EXPECT_TRUE(Clipboard::GetRtf().has_value());
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "plain" });
}

} // namespace
