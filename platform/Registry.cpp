#include "Registry.h"

#include "ChessFont.h"
#include "Codec.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>
#include <set>

namespace {

RegistryScript* script = nullptr;

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool SameKey(const std::string& a, const std::string& b)
{
    return Lower(a) == Lower(b);
}

std::vector<RegistryValue> FontValues(bool userFonts)
{
    std::vector<RegistryValue> values;
    std::set<std::string> seen;
    for (const InstalledFontFile& font : ListInstalledFontFiles()) {
        if (font.userFont != userFonts) continue;
        std::string name = font.family;
        if (!font.style.empty() && Lower(font.style) != "regular" && Lower(font.style) != "book")
            name += " " + font.style;
        const std::string suffix = Lower(QFileInfo(QString::fromStdString(font.file)).suffix().toStdString());
        name += suffix == "otf" ? " (OpenType)" : " (TrueType)";
        if (!seen.insert(Lower(name)).second) continue;
        values.push_back({ name, Codec::FromQt(QFileInfo(QString::fromStdString(font.file)).fileName()) });
    }
    return values;
}

// The desktop's web browser, as the id of its desktop entry ("firefox-esr.desktop").
std::string DefaultBrowser()
{
    QProcess query;
    query.start("xdg-mime", { "query", "default", "text/html" });
    if (!query.waitForFinished(3000) || query.exitCode() != 0) return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed().toStdString();
}

// The command of a desktop entry, with "%1" where the address goes.
std::optional<std::string> DesktopCommand(const std::string& desktopId)
{
    QString path
        = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QString::fromStdString(desktopId));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    QTextStream in(&file);
    bool mainGroup = false;
    while (!in.atEnd()) {
        QString line = in.readLine().trimmed();
        if (line.startsWith('[')) {
            mainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!mainGroup || !line.startsWith("Exec=")) continue;
        QString exec = line.mid(5);
        exec.replace(QRegularExpression("%[uUfF]"), "%1");
        exec.replace(QRegularExpression("%[ick]"), "");
        exec.replace("%%", "%");
        return Codec::FromQt(exec.simplified());
    }
    return std::nullopt;
}

std::optional<std::vector<RegistryValue>> DesktopKey(HKEY root, const std::string& subkey)
{
    if (SameKey(subkey, FontsKey)) {
        if (root == HKEY_LOCAL_MACHINE) return FontValues(false);
        if (root == HKEY_CURRENT_USER) {
            std::vector<RegistryValue> values = FontValues(true);
            if (values.empty()) return std::nullopt; // the user has no fonts of their own
            return values;
        }
        return std::nullopt;
    }
    if (root != HKEY_CLASSES_ROOT) return std::nullopt;
    if (SameKey(subkey, ".htm")) {
        std::string browser = DefaultBrowser();
        if (browser.empty()) return std::nullopt;
        return std::vector<RegistryValue> { { "", browser } };
    }
    const std::string tail = "\\shell\\open\\command";
    if (subkey.size() > tail.size() && SameKey(subkey.substr(subkey.size() - tail.size()), tail)) {
        if (auto command = DesktopCommand(subkey.substr(0, subkey.size() - tail.size())))
            return std::vector<RegistryValue> { { "", *command } };
    }
    return std::nullopt;
}

// The key EnumRegValues walks, read when it is opened.
struct OpenKey {
    bool open = false;
    std::vector<RegistryValue> values;
    size_t index = 0;
};
OpenKey walked;

} // namespace

RegistryScript::RegistryScript()
{
    script = this;
}

RegistryScript::~RegistryScript()
{
    if (script == this) script = nullptr;
}

void RegistryScript::SetKey(HKEY root, const std::string& subkey, std::vector<RegistryValue> values)
{
    for (Entry& e : keys)
        if (e.root == root && SameKey(e.subkey, subkey)) {
            e.values = std::move(values);
            return;
        }
    keys.push_back({ root, subkey, std::move(values) });
}

std::optional<std::vector<RegistryValue>> RegistryScript::Key(HKEY root, const std::string& subkey) const
{
    for (const Entry& e : keys)
        if (e.root == root && SameKey(e.subkey, subkey)) return e.values;
    return std::nullopt;
}

std::optional<std::vector<RegistryValue>> ReadRegistryKey(HKEY root, const std::string& subkey)
{
    if (script) return script->Key(root, subkey);
    return DesktopKey(root, subkey);
}

LONG RegQueryDefaultValue(HKEY root, const std::string& subkey, std::string& value)
{
    auto key = ReadRegistryKey(root, subkey);
    if (!key) return ERROR_FILE_NOT_FOUND;
    for (const RegistryValue& v : *key)
        if (v.name.empty()) {
            value = v.data;
            return ERROR_SUCCESS;
        }
    return ERROR_FILE_NOT_FOUND;
}

LONG EnumRegValues(HKEY root, const char* subkey, std::string* name, std::string* data)
{
    if (!subkey && !name && !data) {
        walked = OpenKey();
        return ERROR_SUCCESS;
    }
    if (subkey && *subkey) {
        auto key = ReadRegistryKey(root, subkey);
        if (!key) return ERROR_FILE_NOT_FOUND;
        walked.open = true;
        walked.values = std::move(*key);
        walked.index = 0;
    } else {
        walked.index += 1;
    }
    if (name) name->clear();
    if (data) data->clear();
    if (!walked.open || walked.index >= walked.values.size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& value = walked.values[walked.index];
    // The walk hands out names and texts of at most 259 characters, like the buffers it was made for.
    constexpr size_t room = 259;
    if (value.name.size() > room || value.data.size() > room) return ERROR_MORE_DATA;
    if (name) *name = value.name;
    if (data) *data = value.data;
    return ERROR_SUCCESS;
}
