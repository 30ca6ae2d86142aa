#include "app/connection/qt/CIHSTFilePage.h"

#include "app/language/qt/Resources.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace zeb::connection {

namespace {

QString stringOr(unsigned id, const QString& fallback)
{
    const QString text = language::Resources::string(id);
    return text.isEmpty() ? fallback : text;
}

// The record's path field holds at most kMaxFilePath characters; a longer choice is cut there.
std::string fitPath(std::string path)
{
    if (path.size() > stream::kMaxFilePath)
        path.resize(stream::kMaxFilePath);
    return path;
}

} // namespace

CIHSTFilePage::CIHSTFilePage(stream::StreamAddress& record, std::string_view letters, QWidget* parent)
    : CIHSTPage(record, stream::stream_type::File, kDialog, parent)
    , m_path(new QLineEdit(this))
    , m_browse(new QPushButton(this))
    , m_letters(letters)
    , m_chooser(&framework::FileChooser::choose)
{
    m_path->setMaxLength(static_cast<int>(stream::kMaxFilePath));
    m_browse->setText(label(kBrowse, QStringLiteral("Browse...")));
    m_browse->setObjectName(QString::number(kBrowse));
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_path, 1);
    layout->addWidget(m_browse);
    addRow(kPath, QStringLiteral("Path"), row);
    // The row took the path's id for its label; the id belongs to the field itself.
    row->setObjectName(QStringLiteral("row%1").arg(kPath));
    m_path->setObjectName(QString::number(kPath));
    connect(m_browse, &QPushButton::clicked, this, &CIHSTFilePage::browse);
}

QString CIHSTFilePage::caption() const
{
    return language::Resources::text(kDialog, QStringLiteral("File"));
}

framework::FileChooser::Mode CIHSTFilePage::mode() const
{
    return framework::FileChooser::modeFromText(m_letters);
}

void CIHSTFilePage::fill()
{
    m_path->setText(QString::fromStdString(record().filePath));
}

bool CIHSTFilePage::exchange()
{
    record().filePath = fitPath(m_path->text().toStdString());
    return true;
}

void CIHSTFilePage::browse()
{
    if (!m_chooser)
        return;
    std::string path = m_path->text().toStdString();
    const std::vector<framework::FileChooser::Filter> filters{
        {stringOr(32701, QStringLiteral("All files (*.*)")), QStringLiteral("*.*")}};
    if (!m_chooser(this, stringOr(32702, QStringLiteral("Choose a file")), path, mode(), filters))
        return;
    record().filePath = fitPath(std::move(path));
    fill();
}

} // namespace zeb::connection
