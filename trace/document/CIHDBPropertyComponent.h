#pragma once

#include "platform/MessageTarget.h"
#include "trace/core/ComponentTable.h"

#include <QWidget>

class QCheckBox;
class QTableWidget;

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::trace {

// The component page: asks the receiver for its components as it opens, lists each with its six level switches ("X"
// on, blank off), lets clicks toggle a cell, a row, a column or everything, and on OK switches tracing on or off and
// sends every switch back. It listens to the stream only while it exists.
class CIHDBPropertyComponent : public QWidget, public platform::MessageTarget
{
    Q_OBJECT

public:
    explicit CIHDBPropertyComponent(stream::IOSTStream* stream, QWidget* parent = nullptr);
    ~CIHDBPropertyComponent() override;

    const ComponentTable& components() const { return m_table; }
    QTableWidget& grid() const { return *m_grid; }
    QCheckBox& tracingOn() const { return *m_tracingOn; }

    // Sends ON or OFF and every switch.
    void commit();

    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override;

private:
    void cellClicked(int row, int column);
    void headerClicked(int section);
    void showTable();

    stream::IOSTStream* m_stream;
    ComponentTable m_table;
    QTableWidget* m_grid;
    QCheckBox* m_tracingOn;
};

} // namespace zeb::trace
