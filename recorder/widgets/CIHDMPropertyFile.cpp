#include "recorder/widgets/CIHDMPropertyFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <string>

namespace zeb::recorder {
namespace {

// The conventions offered, by value; any other value names files as convention 0 does.
struct Convention
{
    unsigned value;
    const char* name;
};
constexpr std::array<Convention, 3> kConventions = {{
    {0, "Base name and index"},
    {1, "GNSS week, second of week and index"},
    {3, "Date, time and index"},
}};
constexpr std::array<const char*, 3> kUnits = {"KB", "MB", "GB"};
constexpr std::array<const char*, 4> kOutputNames = {"Almanacs", "Ephemerides", "Health", "Ionosphere"};

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) || text.contains(QChar(0));
}

} // namespace

CIHDMPropertyFile::CIHDMPropertyFile(RecorderSettings& settings, Clock clock, QWidget* parent)
    : CIHDMPropertyPage(settings, kDialog, parent)
    , m_clock(std::move(clock))
    , m_directory(new QLineEdit(this))
    , m_baseName(new QLineEdit(this))
    , m_extension(new QLineEdit(this))
    , m_convention(new QComboBox(this))
    , m_granularity(new QSpinBox(this))
    , m_unit(new QComboBox(this))
    , m_framed(new QCheckBox(this))
    , m_preview(new QLabel(this))
{
    if (!m_clock)
        m_clock = &RecordNaming::LocalTime::now;
    m_directory->setMaxLength(static_cast<int>(RecorderSettings::kMaxLine / 2));
    addRow(1001, QStringLiteral("Directory"), m_directory);
    addRow(1002, QStringLiteral("Base name or stream"), m_baseName);
    addRow(1003, QStringLiteral("Extension"), m_extension);
    for (const Convention& convention : kConventions) {
        const QString name = text(2000 + convention.value, QString::fromLatin1(convention.name));
        m_convention->addItem(name, convention.value);
    }
    addRow(1004, QStringLiteral("File names"), m_convention);
    m_granularity->setRange(1, kMaxGranularity);
    addRow(1005, QStringLiteral("New file every"), m_granularity);
    for (const char* unit : kUnits)
        m_unit->addItem(QString::fromLatin1(unit));
    addRow(1006, QStringLiteral("Unit"), m_unit);
    addRow(1007, QStringLiteral("Framed records with start and continue lines"), m_framed);
    for (std::size_t i = 0; i < m_outputs.size(); ++i) {
        m_outputs[i] = new QCheckBox(this);
        addRow(1010 + static_cast<unsigned>(i),
               QStringLiteral("Repeat %1 in each file").arg(QString::fromLatin1(kOutputNames[i])), m_outputs[i]);
    }
    addRow(1020, QStringLiteral("Next file"), m_preview);
    for (QLineEdit* edit : {m_directory, m_baseName, m_extension})
        connect(edit, &QLineEdit::textChanged, this, &CIHDMPropertyFile::updatePreview);
    connect(m_convention, &QComboBox::currentIndexChanged, this, &CIHDMPropertyFile::updatePreview);
}

void CIHDMPropertyFile::selectConvention(unsigned convention)
{
    int index = m_convention->findData(convention);
    if (index < 0) {
        // A value from a settings file that the list does not offer is kept as it is.
        m_convention->addItem(QString::number(convention), convention);
        index = m_convention->count() - 1;
    }
    m_convention->setCurrentIndex(index);
}

void CIHDMPropertyFile::fill()
{
    const RecorderSettings& values = settings();
    m_directory->setText(QString::fromStdString(values.directory));
    m_baseName->setText(QString::fromStdString(values.baseName));
    m_extension->setText(QString::fromStdString(values.extension));
    selectConvention(values.indexation);
    m_granularity->setValue(static_cast<int>(std::min<std::uint32_t>(values.granularity, kMaxGranularity)));
    m_unit->setCurrentIndex(static_cast<int>(std::min(values.granularityUnit, RecorderSettings::kMaxGranularityUnit)));
    m_framed->setChecked(values.format == 1);
    for (std::size_t i = 0; i < m_outputs.size(); ++i)
        m_outputs[i]->setChecked(values.outputs[i] != 0);
    updatePreview();
}

QString CIHDMPropertyFile::preview() const
{
    const std::string base = m_baseName->text().toStdString();
    if (base.starts_with("/dev"))
        return QStringLiteral("Stream %1").arg(m_baseName->text());
    RecordNaming naming;
    naming.directory = m_directory->text().toStdString();
    naming.baseName = base;
    naming.convention = m_convention->currentData().toUInt();
    naming.extension = m_extension->text().toStdString();
    const auto free = naming.firstFree(1, m_clock());
    return free ? QString::fromStdString(free->second) : QString();
}

void CIHDMPropertyFile::updatePreview()
{
    m_preview->setText(preview());
}

bool CIHDMPropertyFile::exchange()
{
    const QString directory = m_directory->text();
    const std::string base = m_baseName->text().toStdString();
    const std::string extension = m_extension->text().toStdString();
    QLineEdit* wrong = nullptr;
    if (directory.isEmpty() || hasLineBreak(directory)) {
        refuse(QStringLiteral("Enter a directory please"));
        wrong = m_directory;
    } else if (!RecorderSettings::isValidBaseName(base)) {
        refuse(base.empty() ? QStringLiteral("Enter a basename please")
                            : QStringLiteral("\"%1\" is no file name or stream address").arg(m_baseName->text()));
        wrong = m_baseName;
    } else if (!RecorderSettings::isValidExtension(extension)) {
        refuse(QStringLiteral("\"%1\" is no extension: letters please, without a folder").arg(m_extension->text()));
        wrong = m_extension;
    }
    if (wrong) {
        wrong->setFocus();
        return false;
    }
    RecorderSettings& values = settings();
    values.directory = directory.toStdString();
    values.baseName = base;
    values.extension = extension;
    values.indexation = m_convention->currentData().toUInt();
    values.granularity = static_cast<std::uint32_t>(m_granularity->value());
    values.granularityUnit = static_cast<std::uint32_t>(m_unit->currentIndex());
    values.format = m_framed->isChecked() ? 1 : 0;
    for (std::size_t i = 0; i < m_outputs.size(); ++i)
        values.outputs[i] = m_outputs[i]->isChecked() ? 1 : 0;
    return true;
}

} // namespace zeb::recorder
