#include "heading/document/CIHHDCalibrationDialog.h"

#include "app/framework/DialogRunner.h"
#include "app/framework/UserMessages.h"
#include "app/language/qt/Resources.h"
#include "heading/document/CIHHDThresholdDialog.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace zeb::heading {

namespace {

using Field = CalibrationField;

constexpr int kFirstField = 1041;
constexpr int kFirstLabel = 1054;
constexpr int kTabControl = 1053;
constexpr int kSentRetries = 0;
constexpr int kSentDelayMs = 20;
// Wide enough for "-999.999": the panel stays narrow beside the compass.
constexpr int kFieldWidth = 80;

// Brushes of the quality fields: not known, above the threshold, converged.
const QColor kRedBrush(0xFF, 0x00, 0x00);
const QColor kGreenBrush(0x00, 0xFF, 0x00);

// Each row: its label, the setting and its quality value (none for the last two).
struct Row
{
    int label;
    const char* text;
    Field setting;
    std::optional<Field> quality;
};

const std::array<Row, 5> kRows{{
    {1054, "Base length", Field::BaseLength, Field::BaseLengthQuality},
    {1055, "Horizontal offset", Field::HorizontalOffset, Field::HorizontalOffsetQuality},
    {1056, "Vertical offset", Field::VerticalOffset, Field::VerticalOffsetQuality},
    {1057, "Fourth setting", Field::FourthSetting, std::nullopt},
    {1058, "Calibration value", Field::FirstValue, std::nullopt},
}};

QString controlText(unsigned control, const char* fallback)
{
    return language::Resources::control("IDD_IHHD_CALIBRATION", control, QString::fromUtf8(fallback));
}

QString stringOr(unsigned id, std::string_view fallback)
{
    const QString text = language::Resources::string(id);
    return text.isEmpty() ? QString::fromUtf8(fallback.data(), static_cast<int>(fallback.size())) : text;
}

} // namespace

CIHHDCalibrationDialog::CIHHDCalibrationDialog(stream::IOSTStream* stream, HeadingWorkspace& state, QWidget* parent)
    : QDialog(parent)
    , m_stream(stream)
    , m_state(state)
    , m_session(*this, state.thresholds, state.mode)
    , m_tabs(new QTabBar)
    , m_start(new QPushButton(controlText(1037, "Start")))
    , m_stop(new QPushButton(controlText(1038, "Stop")))
    , m_send(new QPushButton(controlText(1039, "Send")))
    , m_thresholds(new QPushButton(controlText(1040, "Thresholds...")))
{
    setObjectName(QStringLiteral("IDD_IHHD_CALIBRATION"));
    // A dialog is a window of its own unless told otherwise; this one is docked inside the view.
    setWindowFlags(Qt::Widget);
    m_poll.setInterval(kPollMs);
    QObject::connect(&m_poll, &QTimer::timeout, this, [this] { m_session.poll(); });

    m_tabs->setObjectName(QString::number(kTabControl));
    const int offset = m_tabs->addTab(stringOr(32406, "Offset calibration"));
    m_tabs->setTabData(offset, CalibrationSession::kOffsetMode);
    const int base = m_tabs->addTab(stringOr(32405, "Base calibration"));
    m_tabs->setTabData(base, CalibrationSession::kBaseMode);
    m_tabs->setCurrentIndex(m_session.mode() == CalibrationSession::kBaseMode ? base : offset);
    QObject::connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (m_session.setMode(m_tabs->tabData(index).toUInt()))
            m_state.mode = m_session.mode();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    buildRows();
    auto* buttons = new QGridLayout;
    int number = 1037;
    for (QPushButton* button : {m_start, m_stop, m_send, m_thresholds}) {
        button->setObjectName(QString::number(number));
        buttons->addWidget(button, (number - 1037) / 2, (number - 1037) % 2);
        ++number;
    }
    layout->addLayout(buttons);
    layout->addStretch();
    QObject::connect(m_start, &QPushButton::clicked, this, [this] { startCalibration(); });
    QObject::connect(m_stop, &QPushButton::clicked, this, [this] { stopCalibration(); });
    QObject::connect(m_send, &QPushButton::clicked, this, [this] { sendSettings(); });
    QObject::connect(m_thresholds, &QPushButton::clicked, this, [this] { editThresholds(); });
    stateChanged();
}

CIHHDCalibrationDialog::~CIHHDCalibrationDialog()
{
    if (m_subscribed && m_stream)
        m_stream->unsubscribeWindow(handle());
    m_session.stop();
}

void CIHHDCalibrationDialog::buildRows()
{
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < CalibrationSession::kFieldCount; ++i) {
        const auto field = static_cast<Field>(kFirstField + static_cast<int>(i));
        auto* line = new QLineEdit(QString::fromStdString(m_session.field(field)));
        line->setObjectName(QString::number(kFirstField + static_cast<int>(i)));
        const bool setting = field <= Field::FourthSetting;
        line->setReadOnly(!setting);
        line->setMaximumWidth(kFieldWidth);
        m_edits[i] = line;
    }
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const Row& row = kRows[i];
        auto* label = new QLabel(controlText(static_cast<unsigned>(row.label), row.text));
        label->setObjectName(QString::number(row.label));
        m_labels[i] = label;
        const int line = static_cast<int>(i);
        grid->addWidget(label, line, 0);
        grid->addWidget(edit(row.setting), line, 1);
        if (row.quality)
            grid->addWidget(edit(*row.quality), line, 2);
    }
    static_cast<QVBoxLayout*>(this->layout())->addLayout(grid);
}

QLineEdit* CIHHDCalibrationDialog::edit(CalibrationField field) const
{
    return m_edits[static_cast<std::size_t>(static_cast<int>(field) - kFirstField)];
}

QWidget* CIHHDCalibrationDialog::control(int id) const
{
    if (id >= kFirstField && id < kFirstField + static_cast<int>(CalibrationSession::kFieldCount))
        return m_edits[static_cast<std::size_t>(id - kFirstField)];
    if (id >= kFirstLabel && id < kFirstLabel + static_cast<int>(m_labels.size()))
        return m_labels[static_cast<std::size_t>(id - kFirstLabel)];
    switch (id) {
    case 1037:
        return m_start;
    case 1038:
        return m_stop;
    case 1039:
        return m_send;
    case 1040:
        return m_thresholds;
    case kTabControl:
        return m_tabs;
    default:
        return nullptr;
    }
}

void CIHHDCalibrationDialog::open()
{
    if (m_stream && !m_subscribed) {
        m_stream->subscribeWindow(handle());
        m_subscribed = true;
    }
    m_session.open();
}

void CIHHDCalibrationDialog::startCalibration()
{
    m_session.start();
}

void CIHHDCalibrationDialog::stopCalibration()
{
    m_session.stop();
}

void CIHHDCalibrationDialog::sendSettings()
{
    std::array<std::string, 4> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = m_edits[i]->text().toStdString();
    const unsigned refusal = m_session.sendSettings(texts);
    if (refusal != 0)
        framework::UserMessages::show(stringOr(refusal, CalibrationSession::refusalText(refusal)), this);
}

void CIHHDCalibrationDialog::editThresholds()
{
    CIHHDThresholdDialog dialog(m_state.thresholds, this);
    if (framework::DialogRunner::run(dialog) != QDialog::Accepted)
        return;
    const std::optional<Thresholds> edited = dialog.thresholds();
    if (!edited) {
        framework::UserMessages::show(QStringLiteral("Each threshold must be a number of 0 or more."), this);
        return;
    }
    m_state.thresholds.values = edited->values;
    m_state.thresholds.writeSettings(platform::Settings::current());
}

platform::LResult CIHHDCalibrationDialog::onMessage(platform::MessageId message, platform::WParam,
                                                    platform::LParam lParam)
{
    if (message != stream::StreamRegistry::messages().receive)
        return 0;
    const auto* event = reinterpret_cast<const stream::StreamEvent*>(lParam);
    if (event && event->kind == messages::MessageKind::Telecommand)
        m_session.receive(event->text());
    return 0;
}

void CIHHDCalibrationDialog::send(std::string_view sentence)
{
    if (m_stream)
        m_stream->write(sentence, kSentRetries, kSentDelayMs, true);
}

void CIHHDCalibrationDialog::setPolling(bool on)
{
    if (on)
        m_poll.start();
    else
        m_poll.stop();
}

void CIHHDCalibrationDialog::fieldChanged(CalibrationField field, const std::string& text)
{
    edit(field)->setText(QString::fromStdString(text));
}

void CIHHDCalibrationDialog::stateChanged()
{
    const bool running = m_session.running();
    m_start->setEnabled(!running);
    m_stop->setEnabled(running);
    for (const Field field : {Field::BaseLength, Field::HorizontalOffset, Field::VerticalOffset, Field::FourthSetting})
        edit(field)->setReadOnly(running);
    showRows();
    colourQualities();
}

void CIHHDCalibrationDialog::showRows()
{
    const std::uint32_t mode = m_session.mode();
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const Row& row = kRows[i];
        const bool shown = CalibrationSession::rowShown(row.setting, mode);
        m_labels[i]->setVisible(shown);
        edit(row.setting)->setVisible(shown);
        if (row.quality)
            edit(*row.quality)->setVisible(CalibrationSession::rowShown(*row.quality, mode));
    }
}

void CIHHDCalibrationDialog::colourQualities()
{
    const std::array<Field, Thresholds::kCount> qualities{Field::BaseLengthQuality, Field::HorizontalOffsetQuality,
                                                          Field::VerticalOffsetQuality};
    for (std::size_t i = 0; i < qualities.size(); ++i) {
        QLineEdit* line = edit(qualities[i]);
        QPalette colours = palette();
        const int converged = m_state.thresholds.converged[i];
        // The value stays readable on its brush: the text is black, not the brush's own colour.
        if (converged == Thresholds::kUnknown) {
            colours.setColor(QPalette::Base, kRedBrush);
            colours.setColor(QPalette::Text, Qt::black);
        } else if (converged == Thresholds::kConverged) {
            colours.setColor(QPalette::Base, kGreenBrush);
            colours.setColor(QPalette::Text, Qt::black);
        }
        line->setPalette(colours);
    }
}

} // namespace zeb::heading
