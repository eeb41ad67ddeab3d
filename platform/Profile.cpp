#include "Profile.h"

#include "Codec.h"
#include "Strings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

std::string companyKey = "Oskeld free chess software";
std::string applicationKey = "Brennix";
std::unique_ptr<QSettings> store;

QSettings& Store()
{
    if (!store)
        store = std::make_unique<QSettings>(
            QSettings::IniFormat, QSettings::UserScope, Codec::ToQt(companyKey), Codec::ToQt(applicationKey));
    return *store;
}

// Value names may hold blanks ("layerboard Bottom", "RValueFond "); the key keeps them as they are.
QString Key(const std::string& section, const std::string& entry)
{
    return Codec::ToQt(section + "/" + entry);
}

std::string SystemReason(int error)
{
    return Codec::FromQt(QString::fromLocal8Bit(std::strerror(error)));
}

// Why the settings file cannot be written, or nothing when it can.
std::string UnwritableReason(const QString& path)
{
    namespace fs = std::filesystem;
    const fs::path file(QFile::encodeName(path).toStdString());
    std::error_code ec;
    for (fs::path folder = file.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        const fs::file_status status = fs::status(folder, ec);
        if (fs::exists(status) && !fs::is_directory(status))
            return FormatString(41001, { Codec::FromQt(QFile::decodeName(folder.c_str())) });
        if (folder == folder.parent_path()) break;
    }
    if (fs::is_directory(file, ec)) return SystemReason(EISDIR);
    if (!fs::exists(file, ec)) {
        // Nothing was written: ask the system why a file cannot be made there.
        const fs::path folder = file.parent_path();
        if (!fs::is_directory(folder, ec)) return SystemReason(ENOENT);
        return ::access(folder.c_str(), W_OK) != 0 ? SystemReason(errno) : std::string();
    }
    if (::access(file.c_str(), W_OK) != 0) return SystemReason(errno);
    return {};
}

// Whether the file on the disk holds every value of the store. Read from a copy: stores of one file
// share what they hold in memory, written or not.
bool WrittenOnDisk(QSettings& settings)
{
    QFile file(settings.fileName());
    QTemporaryFile copy(QDir::tempPath() + "/brennix-settings-XXXXXX.ini");
    if (!file.open(QIODevice::ReadOnly)) return false;
    if (!copy.open()) return settings.status() == QSettings::NoError;
    copy.write(file.readAll());
    copy.close();
    QSettings written(copy.fileName(), QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    return std::all_of(keys.begin(), keys.end(),
        [&](const QString& key) { return written.value(key).toString() == settings.value(key).toString(); });
}

} // namespace

namespace Profile {

void SetRegistryKey(const std::string& company, const std::string& application)
{
    companyKey = company;
    applicationKey = application;
    store.reset();
}

int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue)
{
    QVariant v = Store().value(Key(section, entry));
    if (!v.isValid()) return defaultValue;
    bool ok = false;
    // The store keeps DWORDs: a value beyond the int range wraps as it would there.
    qlonglong n = v.toLongLong(&ok);
    return ok ? static_cast<int>(static_cast<uint32_t>(n)) : defaultValue;
}

std::string GetProfileString(
    const std::string& section, const std::string& entry, const std::string& defaultValue)
{
    QVariant v = Store().value(Key(section, entry));
    return v.isValid() ? Codec::FromQt(v.toString()) : defaultValue;
}

void WriteProfileInt(const std::string& section, const std::string& entry, int value)
{
    Store().setValue(Key(section, entry), value);
}

void WriteProfileString(const std::string& section, const std::string& entry, const std::string& value)
{
    Store().setValue(Key(section, entry), Codec::ToQt(value));
}

bool HasEntry(const std::string& section, const std::string& entry)
{
    return Store().contains(Key(section, entry));
}

bool Flush(std::string* file, std::string* reason)
{
    QSettings& settings = Store();
    settings.sync();
    const QString path = settings.fileName();
    // The store writes lazily, keeps the first error it met (reading one too) and gives no reason:
    // the reason is found by looking, and what was written by reading it back.
    std::string why = UnwritableReason(path);
    if (why.empty()) {
        if (WrittenOnDisk(settings)) return true;
        why = LoadString(41003);
    }
    if (file) *file = Codec::FromQt(QDir::toNativeSeparators(path));
    if (reason) *reason = why;
    return false;
}

} // namespace Profile
