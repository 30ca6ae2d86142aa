#include "terminal/widgets/CIHTEToolBar.h"

#include "app/framework/DialogRunner.h"
#include "app/language/qt/Resources.h"
#include "terminal/core/DictionaryPlaces.h"
#include "terminal/widgets/CIHDEDictionaryEditor.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

namespace zeb::terminal {

using language::Resources;

namespace {

// Entries are found by their position in the dictionary: labels need not be unique.
constexpr int kEntryRole = Qt::UserRole;

} // namespace

CIHTEToolBar::CIHTEToolBar(QWidget* parent)
    : QWidget(parent)
    , m_list(new QComboBox)
{
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(Resources::text(kName, QStringLiteral("Terminal")));
    DictionaryPlaces::createFolder();
    m_dictionary.read(DictionaryPlaces::toolBarDictionary());

    m_list->setObjectName(QStringLiteral("IDC_IHTE_DICTIONARY"));
    m_list->setMinimumContentsLength(24);
    m_list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_list);
    m_send = addButton("IDI_IHTE_SEND", QStringLiteral("Send"));
    m_sendFile = addButton("IDI_IHTE_SEND_FILE", QStringLiteral("Send a file"));
    m_suspend = addButton("IDI_IHTE_SUSPEND", QStringLiteral("Suspend"));
    QToolButton* optionsButton = addButton("IDI_IHTE_OPTION", QStringLiteral("Options"));
    QToolButton* clearButton = addButton("IDI_IHTE_CLEAR", QStringLiteral("Clear"));
    QToolButton* inputFilterButton = addButton("IDI_IHTE_INPUT_FILTER", QStringLiteral("Input filters"));
    QToolButton* outputFilterButton = addButton("IDI_IHTE_OUTPUT_FILTER", QStringLiteral("Telecommand dictionary"));
    addLogAndFind();
    layout->addStretch();
    m_suspend->setCheckable(true);

    connect(m_send, &QToolButton::clicked, this, &CIHTEToolBar::send);
    connect(m_sendFile, &QToolButton::clicked, this, &CIHTEToolBar::sendFile);
    // The view owns the suspended state and reports it back through setSuspended.
    connect(m_suspend, &QToolButton::clicked, this, [this] {
        m_suspend->setChecked(m_suspended);
        emit suspend();
    });
    connect(optionsButton, &QToolButton::clicked, this, &CIHTEToolBar::options);
    connect(clearButton, &QToolButton::clicked, this, &CIHTEToolBar::clear);
    connect(inputFilterButton, &QToolButton::clicked, this, &CIHTEToolBar::inputFilter);
    connect(outputFilterButton, &QToolButton::clicked, this, &CIHTEToolBar::editDictionary);

    refill();
    setStreamOpen(false);
}

QToolButton* CIHTEToolBar::addButton(const char* iconName, const QString& fallback)
{
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(iconName));
    const std::string tipName = std::string(kName) + "/" + iconName;
    const QString tip = Resources::text(tipName.c_str(), fallback);
    button->setToolTip(tip);
    const QIcon icon = Resources::icon(iconName);
    if (icon.isNull()) {
        button->setText(tip);
    } else {
        button->setIcon(icon);
    }
    button->setAutoRaise(true);
    layout()->addWidget(button);
    return button;
}

void CIHTEToolBar::addLogAndFind()
{
    m_log = addButton("IDI_IHTE_LOG", QStringLiteral("Log to a file"));
    m_log->setCheckable(true);
    m_log->setPopupMode(QToolButton::MenuButtonPopup);
    auto* menu = new QMenu(m_log);
    QAction* raw = menu->addAction(Resources::text("IDM_IHTE_LOG_RAW", QStringLiteral("Log the received bytes")));
    raw->setObjectName(QStringLiteral("IDM_IHTE_LOG_RAW"));
    m_log->setMenu(menu);
    // As with suspend, the view owns the state and reports it back through setLogging.
    connect(m_log, &QToolButton::clicked, this, [this] {
        m_log->setChecked(!m_log->isChecked());
        emit log(false);
    });
    connect(raw, &QAction::triggered, this, [this] { emit log(true); });

    m_find = new QLineEdit;
    m_find->setObjectName(QStringLiteral("IDC_IHTE_FIND"));
    m_find->setPlaceholderText(Resources::text("IDC_IHTE_FIND", QStringLiteral("Find")));
    m_find->setClearButtonEnabled(true);
    layout()->addWidget(m_find);
    QToolButton* previous = addButton("IDI_IHTE_FIND_PREVIOUS", QStringLiteral("Find previous"));
    QToolButton* next = addButton("IDI_IHTE_FIND_NEXT", QStringLiteral("Find next"));
    const auto findTowards = [this](bool forward) {
        if (!m_find->text().isEmpty()) {
            emit find(m_find->text().toLatin1().toStdString(), forward);
        }
    };
    connect(m_find, &QLineEdit::returnPressed, this, [findTowards] { findTowards(true); });
    connect(next, &QToolButton::clicked, this, [findTowards] { findTowards(true); });
    connect(previous, &QToolButton::clicked, this, [findTowards] { findTowards(false); });
}

void CIHTEToolBar::setLogging(bool logging)
{
    m_log->setChecked(logging);
}

QToolButton* CIHTEToolBar::button(const char* iconName) const
{
    return findChild<QToolButton*>(QString::fromLatin1(iconName));
}

void CIHTEToolBar::refill()
{
    m_list->clear();
    const auto& entries = m_dictionary.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& label = entries[i].label;
        m_list->addItem(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())),
                        static_cast<qulonglong>(i));
    }
    m_list->setCurrentIndex(-1);
}

void CIHTEToolBar::setStreamOpen(bool open)
{
    m_send->setEnabled(open);
    m_sendFile->setEnabled(open);
    m_suspend->setEnabled(open);
}

void CIHTEToolBar::setSuspended(bool suspended)
{
    m_suspended = suspended;
    m_suspend->setChecked(suspended);
}

void CIHTEToolBar::send()
{
    const int index = m_list->currentIndex();
    if (index < 0) {
        return;
    }
    const auto entry = static_cast<std::size_t>(m_list->itemData(index, kEntryRole).toULongLong());
    if (entry >= m_dictionary.size()) {
        return;
    }
    emit sendRequested(m_dictionary[entry].value);
}

void CIHTEToolBar::editDictionary()
{
    CIHDEDictionaryEditor editor(m_dictionary, this);
    framework::DialogRunner::run(editor);
    refill();
}

} // namespace zeb::terminal
