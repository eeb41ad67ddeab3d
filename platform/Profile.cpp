#include "Profile.h"

#include "Codec.h"

#include <QSettings>
#include <memory>

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

void Flush()
{
    if (store) store->sync();
}

} // namespace Profile
