#include "Clipboard.h"

#include "Codec.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace {

// Our own text keeps its bytes exactly; other programs read the Unicode form.
const char* const exactText = "application/x-brennix-text";
const char* const rtfFormat = "text/rtf";
const char* const dibFormat = "application/x-brennix-dib";
const char* const tagFormat = "application/x-brennix-tag";

QByteArray Bytes(const std::string& s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// A packed DIB as Qt reads bitmaps: the same bytes behind a BMP file header.
QImage ImageFromDib(const std::vector<unsigned char>& dib)
{
    if (dib.size() < 40) return {};
    auto u32 = [&](size_t at) {
        return uint32_t(dib[at]) | uint32_t(dib[at + 1]) << 8 | uint32_t(dib[at + 2]) << 16
            | uint32_t(dib[at + 3]) << 24;
    };
    uint32_t headerSize = u32(0);
    uint16_t bits = uint16_t(dib[14] | dib[15] << 8);
    uint32_t colours = u32(32);
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    uint32_t compression = u32(16);
    uint32_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
    uint32_t offset = 14 + headerSize + masks + 4 * colours;
    QByteArray file;
    auto put32 = [&file](uint32_t v) {
        for (int i = 0; i < 4; ++i) file.append(char((v >> (8 * i)) & 0xFF));
    };
    file.append("BM", 2);
    put32(static_cast<uint32_t>(14 + dib.size()));
    put32(0);
    put32(offset);
    file.append(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size()));
    QImage image;
    image.loadFromData(file, "BMP");
    return image;
}

} // namespace

namespace Clipboard {

bool SetData(const std::string& text, const std::string& rtf, const std::vector<unsigned char>& dib,
    const std::string& tag)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    auto* data = new QMimeData;
    if (!tag.empty()) data->setData(tagFormat, Bytes(tag));
    if (!rtf.empty()) {
        data->setData(rtfFormat, Bytes(rtf));
        data->setData("text/richtext", Bytes(rtf));
    }
    if (!text.empty()) {
        data->setData(exactText, Bytes(text));
        data->setText(Codec::ToQt(text));
    }
    if (!dib.empty()) {
        data->setData(dibFormat,
            QByteArray(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size())));
        QImage image = ImageFromDib(dib);
        if (!image.isNull()) data->setImageData(image);
    }
    clipboard->setMimeData(data);
    return true;
}

std::optional<std::string> GetText()
{
    const QMimeData* data = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!data) return std::nullopt;
    if (data->hasFormat(exactText)) return data->data(exactText).toStdString();
    if (data->hasText()) return Codec::FromQt(data->text());
    return std::nullopt;
}

std::optional<std::string> GetRtf()
{
    const QMimeData* data = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!data || !data->hasFormat(rtfFormat)) return std::nullopt;
    return data->data(rtfFormat).toStdString();
}

std::optional<std::vector<unsigned char>> GetDib()
{
    const QMimeData* data = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!data || !data->hasFormat(dibFormat)) return std::nullopt;
    QByteArray bytes = data->data(dibFormat);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

std::string Tag()
{
    const QMimeData* data = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!data || !data->hasFormat(tagFormat)) return {};
    return data->data(tagFormat).toStdString();
}

bool HasText()
{
    const QMimeData* data = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    return data && (data->hasFormat(exactText) || data->hasText());
}

} // namespace Clipboard
