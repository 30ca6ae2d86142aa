#include "trace/document/CIHDBPropertyComponent.h"

#include "messages/MessageKind.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "trace/core/TraceCommands.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zeb::trace {

namespace {

constexpr int kNameWidth = 80;
constexpr int kLevelWidth = 56;

void send(stream::IOSTStream* stream, std::string_view line)
{
    if (stream)
        stream->write(line, kWriteRetries, kWriteRetryDelayMs);
}

} // namespace

CIHDBPropertyComponent::CIHDBPropertyComponent(stream::IOSTStream* stream, QWidget* parent)
    : QWidget(parent)
    , m_stream(stream)
    , m_grid(new QTableWidget(0, 1 + static_cast<int>(kLevelCount)))
    , m_tracingOn(new QCheckBox(tr("Trace on")))
{
    QStringList titles{tr("Component")};
    for (const std::string_view name : kLevelNames)
        titles << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    m_grid->setHorizontalHeaderLabels(titles);
    m_grid->setColumnWidth(0, kNameWidth);
    for (int column = 1; column < m_grid->columnCount(); ++column)
        m_grid->setColumnWidth(column, kLevelWidth);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setSectionsMovable(true);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->verticalHeader()->hide();
    m_tracingOn->setChecked(true);
    QObject::connect(m_grid, &QTableWidget::cellClicked, this, &CIHDBPropertyComponent::cellClicked);
    QObject::connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
                     &CIHDBPropertyComponent::headerClicked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addWidget(m_tracingOn);

    if (m_stream) {
        m_stream->subscribeWindow(handle());
        send(m_stream, kViewRequest);
    }
}

CIHDBPropertyComponent::~CIHDBPropertyComponent()
{
    if (m_stream)
        m_stream->unsubscribeWindow(handle());
}

void CIHDBPropertyComponent::commit()
{
    for (const std::string& line : m_table.commitLines(m_tracingOn->isChecked()))
        send(m_stream, line);
}

void CIHDBPropertyComponent::cellClicked(int row, int column)
{
    if (row < 0)
        return;
    if (column == 0)
        m_table.toggleRow(static_cast<std::size_t>(row));
    else
        m_table.toggle(static_cast<std::size_t>(row), static_cast<std::uint32_t>(column));
    showTable();
}

void CIHDBPropertyComponent::headerClicked(int section)
{
    if (section == 0)
        m_table.toggleAll();
    else
        m_table.toggleLevel(static_cast<std::uint32_t>(section));
    showTable();
}

void CIHDBPropertyComponent::showTable()
{
    const auto& rows = m_table.rows();
    m_grid->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r);
        const auto set = [&](int column, const QString& text, Qt::Alignment alignment) {
            QTableWidgetItem* item = m_grid->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(alignment);
                m_grid->setItem(row, column, item);
            }
            item->setText(text);
        };
        set(0, QString::fromStdString(rows[r].name), Qt::AlignLeft | Qt::AlignVCenter);
        for (std::size_t level = 0; level < kLevelCount; ++level)
            set(static_cast<int>(level) + 1, rows[r].levels[level] ? QStringLiteral("X") : QStringLiteral(" "),
                Qt::AlignCenter);
    }
}

platform::LResult CIHDBPropertyComponent::onMessage(platform::MessageId message, platform::WParam,
                                                    platform::LParam lParam)
{
    if (message != stream::StreamRegistry::messages().receive)
        return 0;
    const auto* event = reinterpret_cast<const stream::StreamEvent*>(lParam);
    if (event && event->kind == messages::MessageKind::Telecommand && m_table.apply(event->text()))
        showTable();
    return 0;
}

} // namespace zeb::trace
