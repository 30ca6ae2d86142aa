#pragma once

#include "terminal/core/ButtonBarLayout.h"
#include "terminal/core/Dictionary.h"

#include <QFont>
#include <QSize>
#include <QWidget>

#include <string>
#include <vector>

class QPushButton;
class QToolButton;

namespace zeb::terminal {

// The terminal's button bar "IDD_IHTE_BUTTON_BAR": an options button in the top left corner and one push
// button per entry of its dictionary (read from DictionaryPlaces::buttonBarDictionary() when the bar is
// created), laid out by ButtonBarLayout again on every resize. A button asks for its entry's value to be
// sent; buttons work only while the view's stream is open, and those beyond ButtonBarLayout's command
// limit never do.
//
// Object names: the options button "IDI_IHTE_OPTION", the entry buttons "button0", "button1", ...
class CIHTEButtonBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kName = "IDD_IHTE_BUTTON_BAR";
    static constexpr int kOptionsSize = 22;

    explicit CIHTEButtonBar(QWidget* parent = nullptr);

    Dictionary& dictionary() { return m_dictionary; }
    QToolButton* optionsButton() const { return m_options; }
    const std::vector<QPushButton*>& buttons() const { return m_buttons; }
    // The label font: "arial", 12 pixels high, thin, or the sans-serif font that stands in for it.
    const QFont& labelFont() const { return m_font; }

    // The size remembered for the workspace: 100 x 100 until one is given or the bar is resized.
    QSize barSize() const { return m_barSize; }
    void setBarSize(const QSize& size);

    void setStreamOpen(bool open);
    // Makes the buttons again from the dictionary and lays them out.
    void rebuild();

    // The size that encloses every button at the bar's current width.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

public slots:
    // The options button: the dictionary editor on this bar's dictionary, then the buttons again.
    void editDictionary();

signals:
    void sendRequested(const std::string& value);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    ButtonBarLayout::Result computeLayout(int width) const;
    void relayout();
    void updateEnabled();

    Dictionary m_dictionary;
    QFont m_font;
    QToolButton* m_options = nullptr;
    std::vector<QPushButton*> m_buttons;
    std::vector<std::string> m_labels;
    QSize m_barSize{ButtonBarLayout::kDefaultSize.width, ButtonBarLayout::kDefaultSize.height};
    bool m_streamOpen = false;
};

} // namespace zeb::terminal
