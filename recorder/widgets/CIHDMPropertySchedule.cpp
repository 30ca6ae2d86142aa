#include "recorder/widgets/CIHDMPropertySchedule.h"

#include "recorder/schedule/ScheduleParser.h"

#include <QLineEdit>

#include <ctime>
#include <string>

namespace zeb::recorder {

CIHDMPropertySchedule::CIHDMPropertySchedule(RecorderSettings& settings, Clock clock, QWidget* parent)
    : CIHDMPropertyPage(settings, kDialog, parent)
    , m_clock(std::move(clock))
    , m_start(new QLineEdit(this))
    , m_duration(new QLineEdit(this))
{
    if (!m_clock)
        m_clock = [] { return static_cast<std::int64_t>(std::time(nullptr)); };
    m_start->setMaxLength(static_cast<int>(RecorderSettings::kMaxName));
    m_duration->setMaxLength(static_cast<int>(RecorderSettings::kMaxName));
    addRow(1001, QStringLiteral("Start"), m_start);
    addRow(1002, QStringLiteral("Duration"), m_duration);
}

void CIHDMPropertySchedule::fill()
{
    m_start->setText(QString::fromStdString(settings().startText));
    m_duration->setText(QString::fromStdString(settings().durationText));
}

bool CIHDMPropertySchedule::exchange()
{
    const std::string start = m_start->text().trimmed().toStdString();
    const std::string duration = m_duration->text().trimmed().toStdString();
    const ScheduleParser parser;
    const std::string joiner(ScheduleTexts::english().joiner);
    if (start.empty() || duration.empty() || !parser.parse(start + ' ' + joiner + ' ' + duration, m_clock())) {
        refuse(QString::fromUtf8(parser.syntaxMessage().data(), static_cast<qsizetype>(parser.syntaxMessage().size())));
        m_start->setFocus();
        return false;
    }
    settings().startText = start;
    settings().durationText = duration;
    return true;
}

} // namespace zeb::recorder
