#pragma once

#include "trace/core/TraceDisplaySettings.h"

#include <QDialog>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::trace {

class CIHDBPropertyColor;
class CIHDBPropertyComponent;

// "Properties" of the trace viewer: the receiver's components and level switches, and the list's colours and font.
// Whoever ran the sheet applies it when it was accepted: apply() sends the switches and display() has the colours.
class CIHDBPropertySheet : public QDialog
{
    Q_OBJECT

public:
    CIHDBPropertySheet(stream::IOSTStream* stream, const TraceDisplaySettings& display, QWidget* parent = nullptr);

    CIHDBPropertyComponent& componentPage() const { return *m_components; }
    CIHDBPropertyColor& colourPage() const { return *m_colours; }
    TraceDisplaySettings display() const;
    // Sends the component page's switches to the receiver.
    void apply();

private:
    CIHDBPropertyComponent* m_components;
    CIHDBPropertyColor* m_colours;
};

} // namespace zeb::trace
