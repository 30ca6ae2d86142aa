#include "terminal/widgets/CIHTEButtonBar.h"

#include "app/framework/DialogRunner.h"
#include "app/language/qt/Resources.h"
#include "terminal/core/DictionaryPlaces.h"
#include "terminal/widgets/CIHDEDictionaryEditor.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolButton>

namespace zeb::terminal {

using language::Resources;

namespace {

QFont labelFontFor()
{
    QFont font(QStringLiteral("arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setWeight(QFont::Thin);
    return font;
}

} // namespace

CIHTEButtonBar::CIHTEButtonBar(QWidget* parent)
    : QWidget(parent)
    , m_font(labelFontFor())
    , m_options(new QToolButton(this))
{
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(Resources::text(kName, QStringLiteral("Telecommand buttons")));
    DictionaryPlaces::createFolder();
    m_dictionary.read(DictionaryPlaces::buttonBarDictionary());

    m_options->setObjectName(QStringLiteral("IDI_IHTE_OPTION"));
    const QString tip = Resources::text("IDD_IHTE_BUTTON_BAR/IDI_IHTE_OPTION", QStringLiteral("Edit the buttons"));
    m_options->setToolTip(tip);
    const QIcon icon = Resources::icon("IDI_IHTE_OPTION");
    if (icon.isNull()) {
        m_options->setText(QStringLiteral("..."));
    } else {
        m_options->setIcon(icon);
    }
    m_options->setFixedSize(kOptionsSize, kOptionsSize);
    connect(m_options, &QToolButton::clicked, this, &CIHTEButtonBar::editDictionary);

    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    resize(m_barSize);
    rebuild();
}

void CIHTEButtonBar::rebuild()
{
    for (QPushButton* button : m_buttons) {
        delete button;
    }
    m_buttons.clear();
    m_labels.clear();
    const auto& entries = m_dictionary.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        m_labels.push_back(entries[i].label);
        auto* button = new QPushButton(
            QString::fromUtf8(entries[i].label.data(), static_cast<qsizetype>(entries[i].label.size())), this);
        button->setObjectName(QStringLiteral("button%1").arg(i));
        button->setFont(m_font);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, i] {
            if (i < m_dictionary.size()) {
                emit sendRequested(m_dictionary[i].value);
            }
        });
        button->show();
        m_buttons.push_back(button);
    }
    updateEnabled();
    relayout();
    updateGeometry();
}

ButtonBarLayout::Result CIHTEButtonBar::computeLayout(int width) const
{
    const QFontMetrics metrics(m_font);
    const auto textWidth = [&metrics](std::string_view label) {
        return metrics.horizontalAdvance(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
    };
    return ButtonBarLayout::compute({m_options->width(), m_options->height()}, width, m_labels, textWidth);
}

void CIHTEButtonBar::relayout()
{
    const ButtonBarLayout::Result layout = computeLayout(width());
    m_options->move(layout.options.x, layout.options.y);
    for (std::size_t i = 0; i < m_buttons.size() && i < layout.buttons.size(); ++i) {
        const ButtonBarLayout::Rect& rect = layout.buttons[i];
        m_buttons[i]->setGeometry(rect.x, rect.y, rect.width, rect.height);
    }
}

void CIHTEButtonBar::setBarSize(const QSize& size)
{
    m_barSize = size;
    resize(size);
    // A hidden bar gets its resize event only when shown; the buttons must be in place before.
    relayout();
}

void CIHTEButtonBar::setStreamOpen(bool open)
{
    m_streamOpen = open;
    updateEnabled();
}

void CIHTEButtonBar::updateEnabled()
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i]->setEnabled(m_streamOpen && ButtonBarLayout::hasCommand(i));
    }
}

QSize CIHTEButtonBar::sizeHint() const
{
    const ButtonBarLayout::Size requested = computeLayout(width()).requested;
    return {requested.width, requested.height};
}

QSize CIHTEButtonBar::minimumSizeHint() const
{
    return {kOptionsSize + 2 * ButtonBarLayout::kMargin, kOptionsSize + 2 * ButtonBarLayout::kMargin};
}

int CIHTEButtonBar::heightForWidth(int width) const
{
    return computeLayout(width).requested.height;
}

void CIHTEButtonBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_barSize = event->size();
    relayout();
}

void CIHTEButtonBar::editDictionary()
{
    CIHDEDictionaryEditor editor(m_dictionary, this);
    framework::DialogRunner::run(editor);
    rebuild();
}

} // namespace zeb::terminal
