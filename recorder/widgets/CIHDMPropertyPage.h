#pragma once

#include "recorder/settings/RecorderSettings.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <initializer_list>

class QAbstractItemView;
class QFormLayout;
class QTableWidget;

namespace zeb::recorder {

// One page of the recorder's property sheet, editing its part of the sheet's copy of the settings.
// Pages of lists change the copy as the user edits and read it again each time they are shown, since
// another page may have renamed or removed what they refer to. Pages of fields fill their controls
// once and write them back on confirmation.
class CIHDMPropertyPage : public QWidget
{
    Q_OBJECT

public:
    CIHDMPropertyPage(RecorderSettings& settings, const char* dialog, QWidget* parent = nullptr);

    const char* dialog() const { return m_dialog; }
    // The tab caption: the dialog caption of the language library, else `fallback`.
    QString caption(const QString& fallback) const;

    // The page comes to the front: its controls are filled the first time, lists every time.
    void shown();
    bool isCreated() const { return m_created; }
    // Writes the controls into the settings. False, after telling the user why, when a field holds a
    // value the settings refuse; the settings are then left as they were.
    virtual bool exchange() { return true; }

protected:
    virtual void fill() { }
    virtual void refresh() { }

    RecorderSettings& settings() { return m_settings; }
    const RecorderSettings& settings() const { return m_settings; }
    QFormLayout& form() { return *m_form; }
    // A labelled row whose control is named after its control id.
    void addRow(unsigned id, const QString& fallbackLabel, QWidget* control);
    struct Button
    {
        unsigned id;
        const char* fallbackLabel;
        std::function<void()> clicked;
    };
    // The page's list (control 1001) with a row of buttons under it.
    void addList(QAbstractItemView* list, std::initializer_list<Button> buttons);
    // A table whose rows are selected whole, its headings those of controls 2000, 2001, ...
    QTableWidget* newTable(std::initializer_list<const char*> fallbackHeadings);
    QString text(unsigned id, const QString& fallback) const;
    // Shows a refusal through the workbench's message seam.
    void refuse(const QString& text);

private:
    RecorderSettings& m_settings;
    const char* m_dialog;
    QFormLayout* m_form;
    bool m_created = false;
};

} // namespace zeb::recorder
