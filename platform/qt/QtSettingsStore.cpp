#include "platform/qt/QtSettingsStore.h"

#include "platform/MemorySettings.h"

#include <QDir>

namespace zeb::platform {

namespace {

QString keyOf(std::string_view section, std::string_view key)
{
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/')
        + QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QtSettingsStore::QtSettingsStore(const QString& folder)
{
    const QString company = toQString(kCompany);
    const QString application = toQString(kApplication);
    if (folder.isEmpty()) {
        m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, company, application);
    } else {
        QDir().mkpath(folder + QLatin1Char('/') + company);
        m_settings = std::make_unique<QSettings>(folder + QLatin1Char('/') + company + QLatin1Char('/') + application
                                                     + QStringLiteral(".ini"),
                                                 QSettings::IniFormat);
    }
}

QtSettingsStore::~QtSettingsStore()
{
    flush();
}

QString QtSettingsStore::defaultFileName()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, toQString(kCompany), toQString(kApplication))
        .fileName();
}

std::shared_ptr<Settings> QtSettingsStore::readOnlyCopy(const QString& fileName)
{
    auto copy = std::make_shared<MemorySettings>();
    const QSettings file(fileName, QSettings::IniFormat);
    for (const QString& key : file.allKeys()) {
        // "Section/key" as the stores write it; a key of the empty section has no '/'.
        const qsizetype slash = key.indexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QString() : key.left(slash);
        const QVariant value = file.value(key);
        if (value.canConvert<QString>())
            copy->writeText(section.toStdString(), key.mid(slash + 1).toStdString(), value.toString().toStdString());
    }
    return copy;
}

int QtSettingsStore::readInt(std::string_view section, std::string_view key, int fallback) const
{
    const std::lock_guard lock(m_mutex);
    bool ok = false;
    const int value = m_settings->value(keyOf(section, key)).toInt(&ok);
    return ok ? value : fallback;
}

std::string QtSettingsStore::readText(std::string_view section, std::string_view key, std::string_view fallback) const
{
    const std::lock_guard lock(m_mutex);
    const QVariant value = m_settings->value(keyOf(section, key));
    if (!value.isValid())
        return std::string(fallback);
    return value.toString().toStdString();
}

void QtSettingsStore::writeInt(std::string_view section, std::string_view key, int value)
{
    const std::lock_guard lock(m_mutex);
    m_settings->setValue(keyOf(section, key), value);
}

void QtSettingsStore::writeText(std::string_view section, std::string_view key, std::string_view value)
{
    const std::lock_guard lock(m_mutex);
    m_settings->setValue(keyOf(section, key), toQString(value));
}

void QtSettingsStore::flush()
{
    const std::lock_guard lock(m_mutex);
    m_settings->sync();
}

QString QtSettingsStore::fileName() const
{
    const std::lock_guard lock(m_mutex);
    return m_settings->fileName();
}

} // namespace zeb::platform
