#pragma once
// The window's pictures, in data/artwork of the program folder.

#include <QRect>
#include <QString>

#include <array>

namespace pictova::desktop {

inline const QString kArtworkFolder = QStringLiteral("data/artwork");

// 640 x 65, across the top of the window.
inline const QString kHeaderPicture = QStringLiteral("header.png");
// 152 x 400, the menu column left of the panels; picture n shows tab n active.
inline const std::array<QString, 3> kMenuPictures = {
    QStringLiteral("menu1.png"), QStringLiteral("menu2.png"), QStringLiteral("menu3.png")};
// Where the three tab entries are drawn in every menu picture (column
// coordinates); a click there switches to that tab.
inline const std::array<QRect, 3> kMenuTabRects = {QRect(8, 24, 136, 56), QRect(8, 92, 136, 56),
                                                   QRect(8, 160, 136, 56)};
// Over the empty picture list: invites the user to add pictures (220 x 150).
inline const QString kHintPicture = QStringLiteral("hint.png");
// The two 150 x 105 pictures of the effect demonstration: the first stands
// (and is the still picture), the second comes in by the effect.
inline const QString kDemoPicture1 = QStringLiteral("demo1.png");
inline const QString kDemoPicture2 = QStringLiteral("demo2.png");
// The program icon, 256 x 256 (also installed for the desktop menu).
inline const QString kProgramIcon = QStringLiteral("pictova.png");

} // namespace pictova::desktop
