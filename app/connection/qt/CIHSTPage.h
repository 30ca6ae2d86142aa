#pragma once

#include "stream/StreamAddress.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QFormLayout;

namespace zeb::connection {

class ChoiceTable;

// One page of the connection property sheet. A page edits its part of the sheet's record. The first
// time it is shown in a run of the sheet it fills its lists and controls from the record and makes
// its own transport the record's type; on confirmation it writes its controls back.
class CIHSTPage : public QWidget
{
    Q_OBJECT

public:
    CIHSTPage(stream::StreamAddress& record, stream::StreamType type, const char* dialog, QWidget* parent = nullptr);

    stream::StreamType type() const { return m_type; }
    const char* dialog() const { return m_dialog; }
    // The tab caption: the dialog caption of the language library.
    virtual QString caption() const = 0;

    bool isCreated() const { return m_created; }
    // The page is shown for the first time in this run; later calls change nothing.
    void create();
    // Writes the controls into the record. False, with the focus on the field at fault, when a field
    // holds no valid value; the record is then left as it was.
    virtual bool exchange() = 0;

protected:
    // Fills the lists and the controls from the record.
    virtual void fill() = 0;

    stream::StreamAddress& record() { return m_record; }
    const stream::StreamAddress& record() const { return m_record; }
    QFormLayout& form() { return *m_form; }
    // A labelled row whose control is named after its control id.
    void addRow(unsigned id, const QString& fallbackLabel, QWidget* control);
    QString label(unsigned id, const QString& fallback) const;

    // Lists in drop-down boxes: the entries of a table, with its words translated.
    static void fillList(QComboBox& box, const ChoiceTable& table);
    static QString choiceText(const std::string& text);

private:
    stream::StreamAddress& m_record;
    const stream::StreamType m_type;
    const char* m_dialog;
    QFormLayout* m_form = nullptr;
    bool m_created = false;
};

} // namespace zeb::connection
