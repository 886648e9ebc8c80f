#include "app/PreviewFit.h"

#include "swf/SWFTypes.h"

namespace pictova {

TPlayerRect FitPreviewPlayer(int width, int height, int panelWidth, int panelHeight) {
    const int availableWidth = panelWidth - 2; // inside the border
    const int availableHeight = panelHeight - 2;
    const bool tooWide = width > availableWidth;
    const bool tooHigh = height > availableHeight;
    const float widthRatio = float(width) / float(availableWidth);
    const float heightRatio = float(height) / float(availableHeight);

    TPlayerRect rect;
    if (tooWide && (!tooHigh || widthRatio > heightRatio)) {
        rect.Width = availableWidth;
        rect.Height = RoundHalfEven(double(height) / double(widthRatio));
        rect.Left = 1;
        rect.Top = RoundHalfEven((panelHeight - rect.Height) / 2.0);
    } else if (tooHigh) {
        rect.Height = availableHeight;
        rect.Width = RoundHalfEven(double(width) / double(heightRatio));
        rect.Top = 1;
        rect.Left = RoundHalfEven((panelWidth - rect.Width) / 2.0);
    } else {
        rect.Width = width;
        rect.Height = height;
        rect.Left = RoundHalfEven((panelWidth - width) / 2.0);
        rect.Top = RoundHalfEven((panelHeight - height) / 2.0);
    }
    return rect;
}

} // namespace pictova
