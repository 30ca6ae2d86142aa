#include "terminal/document/CIHTEOptionsDialog.h"

#include "app/language/qt/Resources.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMenu>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

namespace zeb::terminal {
namespace {

constexpr std::array<int, 3> kColumnWidths{160, 100, 60};
constexpr std::array<const char*, 5> kModeNames{"Hidden", "Summary", "Text", "Hexadecimal", "Decoded"};
constexpr std::array<const char*, 6> kCategoryNames{"Telecommand", "SVar", "SBin", "UHF", "RTCM", "Unknown"};

QColor toColor(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t toBgr(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) | (static_cast<std::uint32_t>(colour.green()) << 8)
        | (static_cast<std::uint32_t>(colour.blue()) << 16);
}

} // namespace

CIHTEOptionsDialog::CIHTEOptionsDialog(const TerminalOptions& options, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
    , m_list(new QTreeWidget(this))
{
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(language::Resources::text(kName, QStringLiteral("Terminal options")));
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setColumnCount(3);
    m_list->setHeaderLabels({language::Resources::control(kName, 1, QStringLiteral("Message")),
                             language::Resources::control(kName, 2, QStringLiteral("Mode")),
                             language::Resources::control(kName, 3, QStringLiteral("Colour"))});
    for (int column = 0; column < 3; ++column)
        m_list->setColumnWidth(column, kColumnWidths[static_cast<std::size_t>(column)]);
    // Texts too wide for their column end with "...".
    m_list->setTextElideMode(Qt::ElideRight);
    QObject::connect(m_list, &QTreeWidget::itemClicked, this,
                     [this](QTreeWidgetItem* item, int column) { onClicked(item, column); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    addScreenOptions(*layout);
    layout->addWidget(buttons);
    resize(kColumnWidths[0] + kColumnWidths[1] + kColumnWidths[2] + 40, 320);
    fill();
}

void CIHTEOptionsDialog::addScreenOptions(QBoxLayout& layout)
{
    const auto addCheck = [&](const char* name, const QString& label, bool& option) {
        auto* check = new QCheckBox(language::Resources::text(name, label), this);
        check->setObjectName(QString::fromLatin1(name));
        check->setChecked(option);
        QObject::connect(check, &QCheckBox::toggled, this, [&option](bool on) { option = on; });
        layout.addWidget(check);
    };
    addCheck("timeStamps", QStringLiteral("Time stamp each line"), m_options.timeStamps);
    addCheck("nmeaChecksum", QStringLiteral("Add the checksum to typed NMEA sentences"), m_options.nmeaChecksum);

    auto* scrollBack = new QSpinBox(this);
    scrollBack->setObjectName(QStringLiteral("scrollBack"));
    scrollBack->setRange(TerminalOptions::kMinScrollBack, TerminalOptions::kMaxScrollBack);
    scrollBack->setValue(m_options.scrollBack);
    QObject::connect(scrollBack, &QSpinBox::valueChanged, this, [this](int lines) { m_options.scrollBack = lines; });
    auto* row = new QFormLayout;
    row->addRow(language::Resources::text("scrollBack", QStringLiteral("Lines kept on screen")), scrollBack);
    layout.addLayout(row); // adopted, so the row and its label belong to the dialog
}

QString CIHTEOptionsDialog::modeName(std::uint32_t mode)
{
    if (mode >= kModeNames.size())
        return QString::number(mode);
    const std::string key = std::string("IDM_IHTE_OPTION/") + std::to_string(mode);
    return language::Resources::text(key.c_str(), QString::fromLatin1(kModeNames[mode]));
}

QString CIHTEOptionsDialog::pairName(std::size_t index)
{
    const QString category = QString::fromLatin1(kCategoryNames[index / 2]);
    const QString direction = index % 2 == 0 ? language::Resources::text("IHTE/RECEIVE", QStringLiteral("receive"))
                                             : language::Resources::text("IHTE/SEND", QStringLiteral("send"));
    return category + QLatin1Char(' ') + direction;
}

void CIHTEOptionsDialog::fill()
{
    m_list->clear();
    for (std::size_t index = 0; index < TerminalOptions::kPairCount; ++index) {
        auto* row = new QTreeWidgetItem(m_list);
        row->setData(0, Qt::UserRole, static_cast<int>(index));
        showRow(*row, index);
    }
}

void CIHTEOptionsDialog::showRow(QTreeWidgetItem& row, std::size_t index)
{
    const DisplayPair& pair = m_options.pairs()[index];
    row.setText(0, pairName(index));
    row.setText(kModeColumn, modeName(pair.mode));
    row.setText(kColourColumn, QStringLiteral("0x%1").arg(pair.colour, 6, 16, QLatin1Char('0')).toUpper());
    row.setBackground(kColourColumn, toColor(pair.colour));
    row.setForeground(0, toColor(pair.colour));
}

void CIHTEOptionsDialog::setModeOfSelection(DisplayMode mode)
{
    for (QTreeWidgetItem* row : m_list->selectedItems()) {
        const auto index = static_cast<std::size_t>(row->data(0, Qt::UserRole).toInt());
        m_options.pairs()[index].mode = static_cast<std::uint32_t>(mode);
        showRow(*row, index);
    }
}

void CIHTEOptionsDialog::setColourOfSelection(std::uint32_t colour)
{
    for (QTreeWidgetItem* row : m_list->selectedItems()) {
        const auto index = static_cast<std::size_t>(row->data(0, Qt::UserRole).toInt());
        m_options.pairs()[index].colour = colour;
        showRow(*row, index);
    }
}

void CIHTEOptionsDialog::onClicked(QTreeWidgetItem* item, int column)
{
    if (!item)
        return;
    if (column == kModeColumn)
        chooseMode(QCursor::pos());
    else if (column == kColourColumn)
        chooseColour();
}

void CIHTEOptionsDialog::chooseMode(const QPoint& where)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("IDM_IHTE_OPTION"));
    for (std::uint32_t mode = 0; mode < kModeNames.size(); ++mode)
        menu.addAction(modeName(mode))->setData(mode);
    QAction* chosen = menu.exec(where);
    if (chosen)
        setModeOfSelection(static_cast<DisplayMode>(chosen->data().toUInt()));
}

void CIHTEOptionsDialog::chooseColour()
{
    QTreeWidgetItem* current = m_list->currentItem();
    const std::uint32_t start
        = current ? m_options.pairs()[static_cast<std::size_t>(current->data(0, Qt::UserRole).toInt())].colour : 0;
    const QColor chosen = QColorDialog::getColor(toColor(start), this);
    if (chosen.isValid())
        setColourOfSelection(toBgr(chosen));
}

} // namespace zeb::terminal
