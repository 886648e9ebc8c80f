#include "app/PreviewFit.h"

#include <gtest/gtest.h>

namespace pictova {
namespace {

struct TFitRow {
    const char* Name;
    int Width, Height;
    TPlayerRect Expected;
};

class PreviewFit : public ::testing::TestWithParam<TFitRow> {};

TEST_P(PreviewFit, PlacesThePlayerInThePanel) {
    const TFitRow& row = GetParam();
    EXPECT_EQ(FitPreviewPlayer(row.Width, row.Height), row.Expected);
}

// The panel is 452 x 292, its inner area 450 x 290.
INSTANTIATE_TEST_SUITE_P(Cases, PreviewFit,
                         ::testing::Values(
                             // Fits: unscaled and centred; 175.5 and 120.5 round to even.
                             TFitRow{"Fits", 101, 51, {176, 120, 101, 51}},
                             TFitRow{"FitsHalfDown", 103, 53, {174, 120, 103, 53}},
                             TFitRow{"FillsExactly", 450, 290, {1, 1, 450, 290}},
                             // Too wide: width 450, height by the ratio 2, centred vertically.
                             TFitRow{"TooWide", 900, 200, {1, 96, 450, 100}},
                             // Too high: height 290, width by the ratio 2, centred across.
                             TFitRow{"TooHigh", 200, 580, {176, 1, 100, 290}},
                             // Both too large, the width's ratio larger: as too wide.
                             TFitRow{"BothWidthRules", 1800, 600, {1, 71, 450, 150}},
                             // The height's ratio larger (600 / 290 > 800 / 450): 386.67 -> 387,
                             // left 32.5 -> 32.
                             TFitRow{"BothHeightRules", 800, 600, {32, 1, 387, 290}},
                             // Equal ratios go the height's way.
                             TFitRow{"BothEqual", 900, 580, {1, 1, 450, 290}}),
                         [](const ::testing::TestParamInfo<TFitRow>& info) {
                             return std::string(info.param.Name);
                         });

} // namespace
} // namespace pictova
