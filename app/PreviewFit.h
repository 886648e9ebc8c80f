#pragma once
// Where the preview player sits in its panel so that the show keeps its
// proportions: unscaled and centred when it fits, else shrunk to the
// panel's inner area (inside its 1-pixel border) along the side that is
// too large by the larger ratio, and centred across the other side.

namespace pictova {

// The black panel of the preview tab.
constexpr int kPreviewPanelWidth = 452;
constexpr int kPreviewPanelHeight = 292;

struct TPlayerRect {
    int Left = 0; // pixels, in the panel
    int Top = 0;
    int Width = 0;
    int Height = 0;

    friend bool operator==(const TPlayerRect&, const TPlayerRect&) = default;
};

// width and height are the show's canvas in pixels. Rounding is to the
// nearest integer with halves to even; the scale ratio is single precision.
TPlayerRect FitPreviewPlayer(int width, int height, int panelWidth = kPreviewPanelWidth,
                             int panelHeight = kPreviewPanelHeight);

} // namespace pictova
