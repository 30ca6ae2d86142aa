#pragma once

#include "heading/core/Thresholds.h"

#include <QDialog>

#include <array>
#include <optional>

class QLineEdit;

namespace zeb::heading {

// Edits the three calibration thresholds (controls 1041, 1042, 1043) as decimal numbers.
class CIHHDThresholdDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CIHHDThresholdDialog(const Thresholds& thresholds, QWidget* parent = nullptr);

    QLineEdit* edit(std::size_t index) const { return m_edits[index]; }
    // The edited thresholds; none while a field is no threshold (not a number, negative, NaN).
    std::optional<Thresholds> thresholds() const;

    void accept() override;

private:
    Thresholds m_thresholds;
    std::array<QLineEdit*, Thresholds::kCount> m_edits{};
};

} // namespace zeb::heading
