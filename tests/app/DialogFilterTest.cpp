#include "app/DialogFilter.h"

#include <gtest/gtest.h>

namespace pictova {
namespace {

TEST(DialogFilter, KeepsEachNameAndListsItsPatternsForQt) {
    EXPECT_EQ(ToQtFileFilter("Flash-Filme (*.swf)|*.swf"), "Flash-Filme (*.swf) (*.swf)");
    EXPECT_EQ(ToQtFileFilter("Alle (*.jpeg, *.jpg)|*.jpg;*.jpeg|Bitmap-Dateien (*.bmp)|*.bmp"),
              "Alle (*.jpeg, *.jpg) (*.jpg *.jpeg);;Bitmap-Dateien (*.bmp) (*.bmp)");
    // A missing language text leaves the name empty.
    EXPECT_EQ(ToQtFileFilter(" (*.mp3, *.wav)|*.mp3;*.wav"), " (*.mp3, *.wav) (*.mp3 *.wav)");
    EXPECT_EQ(ToQtFileFilter("Nur ein Name"), "Nur ein Name");
    EXPECT_EQ(ToQtFileFilter("Leer|;*.a;;"), "Leer (*.a)");
}

} // namespace
} // namespace pictova
