#include "tools/sim/SkyConstellation.h"

#include "geometry/core/SkyPlotModel.h"
#include "messages/Checksum.h"
#include "text/Format.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zeb::tools::sim {
namespace {

// The generated sky read as the sky plot reads it: 9 to 11 GPS satellites in view, the SBAS one
// too, one rising through the mask into use and one setting out of view; every sentence checksummed.
TEST(SkyConstellationTest, RisesSetsAndStaysReadable)
{
    std::vector<unsigned> inView;
    std::vector<bool> risingUsed;
    std::vector<bool> settingVisible;
    for (unsigned second : {0u, 40u, 200u, 300u}) {
        geometry::SkyPlotModel model;
        std::istringstream lines(SkyConstellation::epoch(second));
        bool groupEnded = false;
        for (std::string line; std::getline(lines, line);) {
            const auto star = line.find('*');
            ASSERT_NE(star, std::string::npos) << line;
            EXPECT_EQ(line.substr(star + 1, 2), text::format("%02X", messages::nmeaChecksum(line.substr(0, star))));
            groupEnded = model.receive(line) || groupEnded;
        }
        ASSERT_TRUE(groupEnded) << second;
        unsigned visible = 0;
        for (unsigned prn = 1; prn <= geometry::SkyTable::kShown; ++prn)
            visible += model.table().satellite(prn).visible ? 1 : 0;
        inView.push_back(visible);
        EXPECT_TRUE(model.table().satellite(33).visible);
        risingUsed.push_back(model.table().satellite(23).used);
        settingVisible.push_back(model.table().satellite(17).visible);
    }
    EXPECT_EQ(inView, (std::vector<unsigned>{10, 11, 11, 10}));
    EXPECT_EQ(risingUsed, (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(settingVisible, (std::vector<bool>{true, true, true, false}));
}

} // namespace
} // namespace zeb::tools::sim
