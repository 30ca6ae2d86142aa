#pragma once

#include "recorder/widgets/CIHDMPropertyPage.h"

#include <cstdint>
#include <functional>

class QLineEdit;

namespace zeb::recorder {

// When to record: the start and duration texts of the schedule phrase. The phrase is read with the
// schedule parser before it is taken, so a phrase the recorder would refuse at Start never gets in.
class CIHDMPropertySchedule : public CIHDMPropertyPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_IHDM_SCHEDULE";
    using Clock = std::function<std::int64_t()>;

    // `clock` gives the time the phrase is read at (seconds since 1970; the system clock by default).
    explicit CIHDMPropertySchedule(RecorderSettings& settings, Clock clock = {}, QWidget* parent = nullptr);

    bool exchange() override;

protected:
    void fill() override;

private:
    Clock m_clock;
    QLineEdit* m_start;
    QLineEdit* m_duration;
};

} // namespace zeb::recorder
