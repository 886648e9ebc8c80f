// The window's pictures beside the program: the names and sizes the window
// lays out by, and menu pictures that light up the tab they stand for.
#include "desktop/Artwork.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

using namespace pictova::desktop;

namespace {

QImage Load(const QString& name) {
    return QImage(QDir(QStringLiteral(PICTOVA_PROGRAM_DIR))
                      .filePath(kArtworkFolder + QLatin1Char('/') + name));
}

struct TPicture {
    QString Name;
    QSize Size;
    bool Opaque; // turned into movie bitmaps, which must not carry alpha
};

TEST(ArtworkTest, EveryPictureHasItsSize) {
    const TPicture pictures[] = {
        {kHeaderPicture, {640, 65}, true},    {kMenuPictures[0], {152, 400}, true},
        {kMenuPictures[1], {152, 400}, true}, {kMenuPictures[2], {152, 400}, true},
        {kHintPicture, {220, 150}, false},    {kDemoPicture1, {150, 105}, true},
        {kDemoPicture2, {150, 105}, true},    {kProgramIcon, {256, 256}, false},
    };
    for (const TPicture& picture : pictures) {
        SCOPED_TRACE(picture.Name.toStdString());
        const QImage image = Load(picture.Name);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), picture.Size);
        if (picture.Opaque) {
            EXPECT_FALSE(image.hasAlphaChannel());
        }
    }
    EXPECT_NE(Load(kDemoPicture1), Load(kDemoPicture2));
}

TEST(ArtworkTest, MenuPictureNHighlightsTabNInsideItsRectangle) {
    // A point near a tab's upper right corner, clear of number and caption.
    auto probe = [](const QImage& menu, size_t tab) {
        const QRect r = kMenuTabRects[tab];
        return menu.pixelColor(r.right() - 8, r.top() + 8);
    };
    const QImage menus[] = {Load(kMenuPictures[0]), Load(kMenuPictures[1]), Load(kMenuPictures[2])};
    for (const QImage& menu : menus)
        ASSERT_FALSE(menu.isNull());
    // Tab t looks the same in the two other menus and different in its own.
    for (size_t tab = 0; tab < 3; ++tab) {
        SCOPED_TRACE(testing::Message() << "tab " << tab + 1);
        const QImage& own = menus[tab];
        const QImage& next = menus[(tab + 1) % 3];
        const QImage& last = menus[(tab + 2) % 3];
        EXPECT_EQ(probe(next, tab), probe(last, tab));
        EXPECT_NE(probe(own, tab), probe(next, tab));
    }
}

} // namespace
