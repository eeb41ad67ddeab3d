#include "CPlaviaView.h"

#include "picture/CQuantizer.h"
#include "picture/CxImage.h"
#include "platform/Clipboard.h"
#include "platform/Codec.h"
#include "platform/Commands.h"
#include "platform/Dc.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "res/StringIds.h"
#include "settings/AppSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTimerEvent>
#include <vector>

using namespace Win32;

std::uintptr_t pictureTimerId = 0;

namespace {

constexpr std::uintptr_t CopyTimer = 1;
constexpr std::uintptr_t SaveTimer = 2;
constexpr int PictureDelay = 200;

// The extension of the filter's kind number `index` ("png" for "*.png"), the first kind's when there is
// no such kind.
std::string FilterExtension(const std::string& filter, int index)
{
    std::vector<std::string> patterns;
    size_t start = 0;
    for (int field = 0;; ++field) {
        size_t bar = filter.find('|', start);
        std::string part = filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (field % 2 == 1) {
            if (part.empty()) break;
            size_t dot = part.find_last_of('.');
            patterns.push_back(dot == std::string::npos ? part : part.substr(dot + 1));
        } else if (part.empty()) {
            break;
        }
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    if (patterns.empty()) return "png";
    return patterns[size_t(index >= 0 && size_t(index) < patterns.size() ? index : 0)];
}

bool KnownPictureExtension(const std::string& extension)
{
    return extension == "png" || extension == "jpg" || extension == "jpeg" || extension == "bmp";
}

QString PathText(const std::string& path)
{
    return QFile::decodeName(path.c_str());
}

// The error box of a picture that could not be made or written, naming the file and the reason.
void ReportPictureError(const std::string& path, const std::string& reason)
{
    // Filled in one pass, so a name or a reason holding "%1" or "%2" stays as it is.
    const std::string form = LoadString(StringId::PictureNotSaved);
    const std::string name = Codec::FromQt(PathText(path));
    const std::string why = reason.empty() ? LoadString(StringId::OutOfMemory) : reason;
    std::string text;
    for (size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '%' && i + 1 < form.size() && (form[i + 1] == '1' || form[i + 1] == '2')) {
            text += form[++i] == '1' ? name : why;
        } else {
            text += form[i];
        }
    }
    AfxMessageBox(text, MB_ICONERROR);
}

} // namespace

// The octree chooses the colours and every pixel takes the nearest of them; a plain board may give the
// colour of its bottom-left pixel away as transparent.
bool CPlaviaView::ReducePictureColours(CxImage& image, bool textured, std::string& error)
{
    const uint32_t colours = textured ? 256 : 16;
    const int bits = textured ? 8 : 4;
    std::vector<RGBQUAD> palette(colours);
    {
        CQuantizer quantizer(colours, bits);
        if (!quantizer.ProcessImage(image.GetDIB(), image.GetSize())) {
            error = quantizer.allocationFailed() ? LoadString(StringId::OutOfMemory) : std::string();
            return false;
        }
        quantizer.SetColorTable(palette.data());
    }
    if (!image.DecreaseBpp(uint32_t(bits), palette.data(), colours)) {
        error = image.GetLastError();
        return false;
    }
    if (!textured && AppSettings::SaveTtansparent) image.SetTransIndex(image.GetPixelIndex(0, 0) & 0xFF);
    return true;
}

void CPlaviaView::RegisterPictureCommands()
{
    CommandRouter& r = CommandRouter::Instance();
    r.Register(this, CommandId::CopyBmp, [this] { OnCopyBmp(); });
    r.Register(this, CommandId::SaveAsPicture, [this] { OnSaveAsPicture(); });
}

void CPlaviaView::OnCopyBmp()
{
    SetTimer(CopyTimer, PictureDelay);
}

void CPlaviaView::OnSaveAsPicture()
{
    FileDialogRequest request;
    request.open = false;
    request.defaultExtension = "png";
    request.initialName = "*.png";
    request.filter = LoadString(StringId::PictureFilter);
    std::string path;
    int kind = 0;
    if (!AfxFileDialog(this, request, path, kind)) return;

    std::string extension = FileExtension(path);
    if (!KnownPictureExtension(extension)) {
        // The kind chosen in the dialog decides, and the name gets its extension so that the file says
        // what it holds.
        while (!path.empty() && path.back() == '.') path.pop_back();
        extension = FilterExtension(request.filter, kind);
        path += "." + extension;
        // The dialog only asked about replacing the name as it was typed.
        if (QFileInfo::exists(PathText(path))
            && AfxMessageBox(
                   FormatString1(StringId::ReplacePicture, DisplayFileName(path)), MB_YESNO | MB_ICONWARNING)
                != IDYES)
            return;
    }
    m_strPicturePath = path;
    m_strPictureExtension = extension;
    SetTimer(SaveTimer, PictureDelay);
}

void CPlaviaView::OnTimer(std::uintptr_t nIDEvent)
{
    // Stopped before the work: an error box runs its own event loop, in which the timer would tick again.
    KillTimer(nIDEvent);
    if (nIDEvent == CopyTimer)
        CopyBoardBitmap();
    else if (nIDEvent == SaveTimer)
        SaveBoardPicture();
}

RECT CPlaviaView::PictureRect() const
{
    const int s = m_nSquareSize;
    const RECT& b = m_rectBoard;
    if (AppSettings::PNGSaveCoords)
        return { b.left + s / 2, s / 2 <= b.top ? b.top - s / 2 : b.top - s / 4, b.right + s / 2,
            b.bottom - s / 4 };
    return { b.left + s - s / 4, b.top - s / 4, b.right + s / 4, b.bottom - s + s / 4 };
}

bool CPlaviaView::CaptureBoard(CxImage& image)
{
    const RECT area = PictureRect();
    if (area.Width() <= 0 || area.Height() <= 0) {
        image.Create(area.Width(), area.Height(), 24); // leaves the reason in the image
        return false;
    }
    // Painted, not grabbed: windows over the board, the screen's depth or a board partly off the
    // screen leave the picture as the board is drawn.
    QImage pixels(area.Width(), area.Height(), QImage::Format_RGB32);
    if (pixels.isNull()) {
        image.Destroy();
        return false;
    }
    {
        QPainter painter(&pixels);
        painter.translate(-area.left, -area.top);
        Dc dc(painter);
        PaintView(dc);
    }
    BITMAP bitmap;
    bitmap.bmWidth = pixels.width();
    bitmap.bmHeight = pixels.height();
    bitmap.bmWidthBytes = int32_t(pixels.bytesPerLine());
    bitmap.bmBitsPixel = 32;
    bitmap.bmBits = pixels.constBits();
    return image.CreateFromHBITMAP(bitmap);
}

void CPlaviaView::CopyBoardBitmap()
{
    CxImage image;
    std::vector<uint8_t> dib;
    if (CaptureBoard(image)) dib = image.CopyToHandle();
    if (dib.empty() || !Clipboard::SetData({}, {}, dib))
        AfxMessageBox(LoadString(StringId::CannotSetClipboardData), MB_OK);
}

bool CPlaviaView::SaveBoardPicture()
{
    const std::string path = m_strPicturePath;
    CxImage image;
    if (!CaptureBoard(image)) {
        ReportPictureError(path, image.GetLastError());
        return false;
    }
    const ImageType type = pictureTypeForPath(m_strPictureExtension);
    bool saved = true;
    std::string error;
    if (type == ImageTypeJpeg)
        image.SetJpegQuality(50);
    else
        saved = ReducePictureColours(image, SettingsState::currentTexture != 0, error);
    if (saved && !image.saveAtomically(path, type)) {
        saved = false;
        error = image.GetLastError();
    }
    if (!saved) ReportPictureError(path, error);
    // Afterwards the clipboard holds the diagram's text copy, as after Copy, whatever the picture did.
    OnCopyRtf();
    return saved;
}

bool CPlaviaView::PictureTimerRunning(std::uintptr_t nIDEvent) const
{
    return nIDEvent < m_pictureTimers.size() && m_pictureTimers[nIDEvent] != 0;
}

void CPlaviaView::SetTimer(std::uintptr_t nIDEvent, int milliseconds)
{
    if (nIDEvent >= m_pictureTimers.size()) return;
    KillTimer(nIDEvent);
    m_pictureTimers[nIDEvent] = startTimer(milliseconds);
    pictureTimerId = nIDEvent;
}

void CPlaviaView::KillTimer(std::uintptr_t nIDEvent)
{
    if (!PictureTimerRunning(nIDEvent)) return;
    killTimer(m_pictureTimers[nIDEvent]);
    m_pictureTimers[nIDEvent] = 0;
}

void CPlaviaView::timerEvent(QTimerEvent* event)
{
    for (std::uintptr_t id = 1; id < m_pictureTimers.size(); ++id)
        if (m_pictureTimers[id] == event->timerId()) {
            OnTimer(id);
            return;
        }
    QWidget::timerEvent(event);
}
