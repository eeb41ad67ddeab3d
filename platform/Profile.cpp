#include "Profile.h"

#include "Codec.h"
#include "Strings.h"
#include "res/StringIds.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// Writes `size` bytes into a new file of `folder` and takes it away again: the error of the first step
// that fails, or 0. The store's own write says only that it failed; this one says why.
int ProbeWrite(const std::filesystem::path& folder, size_t size)
{
    std::string name = (folder / ".brennix-write-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return errno;
    int error = 0;
    const std::string bytes(size, '\n');
    for (size_t done = 0; done < size && error == 0;) {
        const ssize_t n = ::write(fd, bytes.data() + done, size - done);
        if (n < 0)
            error = errno;
        else
            done += size_t(n);
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    ::unlink(name.c_str());
    return error;
}

// Why the settings file cannot be written, or nothing when nothing stands in the way. `size`: about how
// much the file holds.
std::string UnwritableReason(const QString& path, size_t size)
{
    namespace fs = std::filesystem;
    const fs::path file(QFile::encodeName(path).toStdString());
    std::error_code ec;
    for (fs::path folder = file.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        const fs::file_status status = fs::status(folder, ec);
        if (fs::exists(status) && !fs::is_directory(status))
            return FormatString(
                StringId::FileWhereFolderNeeded, { Codec::FromQt(QFile::decodeName(folder.c_str())) });
        if (folder == folder.parent_path()) break;
    }
    if (fs::is_directory(file, ec)) return SystemReason(EISDIR);
    // The folder as the store makes it: a folder above it that may not be written says so here.
    if (fs::create_directories(file.parent_path(), ec); ec) return SystemReason(ec.value());
    if (fs::exists(file, ec) && ::access(file.c_str(), W_OK) != 0) return SystemReason(errno);
    // The store writes a new file beside the old one and puts it in its place: a full disk, a
    // read-only file system or a folder that takes no new file stop it there.
    if (const int error = ProbeWrite(file.parent_path(), std::max<size_t>(size, 4096)); error != 0)
        return SystemReason(error);
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

// A value the store already holds is not set again: an unchanged store is not written at all.
void WriteProfileInt(const std::string& section, const std::string& entry, int value)
{
    const QString key = Key(section, entry);
    const QVariant stored = Store().value(key);
    if (stored.isValid() && stored.toString() == QString::number(value)) return;
    Store().setValue(key, value);
}

void WriteProfileString(const std::string& section, const std::string& entry, const std::string& value)
{
    const QString key = Key(section, entry);
    const QVariant stored = Store().value(key);
    if (stored.isValid() && stored.typeId() == QMetaType::QString && stored.toString() == Codec::ToQt(value))
        return;
    Store().setValue(key, Codec::ToQt(value));
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
    // what was written is found by reading it back, and when that fails the reason by looking. A file
    // that already held every value needed no writing, read-only or not.
    if (WrittenOnDisk(settings)) return true;
    qint64 size = 0;
    for (const QString& key : settings.allKeys())
        size += key.size() + settings.value(key).toString().size() + 2;
    std::string why = UnwritableReason(path, size_t(size));
    if (why.empty()) why = LoadString(StringId::FileNotWritten);
    if (file) *file = Codec::FromQt(QDir::toNativeSeparators(path));
    if (reason) *reason = why;
    return false;
}

} // namespace Profile
