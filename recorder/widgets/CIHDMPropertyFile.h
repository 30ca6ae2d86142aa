#pragma once

#include "recorder/files/RecordNaming.h"
#include "recorder/widgets/CIHDMPropertyPage.h"

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace zeb::recorder {

// Where and how the record files are written: directory, base name (or a stream address), extension,
// naming convention, the size at which the next file is begun, the record format and the repeated
// messages written at the start of each file. The page shows the name the next file would get, so the
// user sees what the naming convention does.
class CIHDMPropertyFile : public CIHDMPropertyPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_IHDM_FILE";
    static constexpr int kMaxGranularity = 1 << 30;
    using Clock = std::function<RecordNaming::LocalTime()>;

    // `clock` gives the local time file names are made with (the system's by default).
    explicit CIHDMPropertyFile(RecorderSettings& settings, Clock clock = {}, QWidget* parent = nullptr);

    bool exchange() override;
    // The name the next file would get with the fields as they stand, or the stream it would go to.
    QString preview() const;

protected:
    void fill() override;

private:
    void updatePreview();
    void selectConvention(unsigned convention);

    Clock m_clock;
    QLineEdit* m_directory;
    QLineEdit* m_baseName;
    QLineEdit* m_extension;
    QComboBox* m_convention;
    QSpinBox* m_granularity;
    QComboBox* m_unit;
    QCheckBox* m_framed;
    std::array<QCheckBox*, 4> m_outputs{};
    QLabel* m_preview;
};

} // namespace zeb::recorder
