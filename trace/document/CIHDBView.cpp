#include "trace/document/CIHDBView.h"

#include "app/framework/DialogRunner.h"
#include "app/language/qt/Resources.h"
#include "messages/MessageKind.h"
#include "platform/Settings.h"
#include "stream/IOSTStream.h"
#include "stream/StreamEvent.h"
#include "stream/StreamRegistry.h"
#include "trace/document/CIHDBDocument.h"
#include "trace/document/CIHDBPropertySheet.h"
#include "trace/document/TraceFont.h"
#include "trace/document/TraceListModel.h"

#include <QAction>
#include <QHeaderView>

namespace zeb::trace {

namespace {

constexpr std::uint32_t kListBackground = 0xC0C0C0;

} // namespace

CIHDBView::CIHDBView(CIHDBDocument& document, QWidget* parent)
    : QTableView(parent)
    , m_document(document)
    , m_model(new TraceListModel(m_ring, this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < TraceListModel::ColumnCount; ++column)
        setColumnWidth(column, TraceListModel::columnWidth(column));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colourOf(kListBackground));
    colours.setColor(QPalette::Window, colourOf(kListBackground));
    setPalette(colours);

    m_suspend = addCommand("IDI_IHDB_SUSPEND", tr("Suspend"), &CIHDBView::toggleSuspend);
    m_suspend->setCheckable(true);
    m_properties = addCommand("IDI_IHDB_PROPERTIES", tr("Properties..."), &CIHDBView::editProperties);
    m_clear = addCommand("IDI_IHDB_CLEAR", tr("Clear"), &CIHDBView::clear);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    m_timer.setInterval(kRefreshMs);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { refresh(); });
    m_timer.start();
    refreshState();
}

CIHDBView::~CIHDBView()
{
    detach();
}

QAction* CIHDBView::addCommand(const char* key, const QString& caption, void (CIHDBView::*command)())
{
    auto* action = new QAction(language::Resources::icon(key), caption, this);
    QObject::connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    addAction(action);
    return action;
}

void CIHDBView::initialUpdate()
{
    applyDisplay(TraceDisplaySettings::read(platform::Settings::current()));
    detach();
    m_stream = m_document.stream();
    if (m_stream)
        m_stream->subscribeWindow(handle());
    refreshState();
}

void CIHDBView::detach()
{
    if (m_stream)
        m_stream->unsubscribeWindow(handle());
    m_stream = nullptr;
}

void CIHDBView::applyDisplay(const TraceDisplaySettings& display)
{
    m_display = display;
    const QFont font = fontOf(display.font);
    setFont(font);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    m_model->setDisplay(display);
    viewport()->update();
}

void CIHDBView::refreshState()
{
    m_suspend->setEnabled(m_stream && m_stream->isOpen());
    m_suspend->setChecked(m_suspended);
}

void CIHDBView::toggleSuspend()
{
    m_suspended = !m_suspended;
    refreshState();
    viewport()->update();
}

void CIHDBView::clear()
{
    m_ring.clear();
    m_model->sync();
}

void CIHDBView::refresh()
{
    if (m_model->sync())
        scrollToBottom();
}

void CIHDBView::editProperties()
{
    CIHDBPropertySheet sheet(m_stream, m_display, this);
    if (framework::DialogRunner::run(sheet) != QDialog::Accepted)
        return;
    sheet.apply();
    const TraceDisplaySettings chosen = sheet.display();
    chosen.write(platform::Settings::current());
    applyDisplay(chosen);
}

platform::LResult CIHDBView::onMessage(platform::MessageId message, platform::WParam, platform::LParam lParam)
{
    const auto& ids = stream::StreamRegistry::messages();
    if (message == ids.open || message == ids.close) {
        refreshState();
        return 0;
    }
    if (message != ids.receive || m_suspended)
        return 0;
    const auto* event = reinterpret_cast<const stream::StreamEvent*>(lParam);
    if (!event || event->kind != messages::MessageKind::Telecommand)
        return 0;
    // The event's bytes are valid only during this call: the ring keeps copies.
    if (parseTraceOutput(event->text(), m_scratch))
        m_ring.append(m_scratch);
    return 0;
}

} // namespace zeb::trace
