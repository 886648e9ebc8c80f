#pragma once
// LoadPictureFile for the picture preview: JPEG, PNG, BMP, GIF and TIFF
// through Qt's image readers, chosen by the lower-cased extension as the
// build chooses. The build itself decodes with the library; sizes come from
// the headers (ReadImageSize).

#include <QImage>
#include <QString>

namespace pictova::desktop {

struct TLoadedPicture {
    QImage Image;  // null when nothing was loaded
    QString Error; // the decoder's message when the file could not be decoded
};

// Another extension loads nothing and is no error.
TLoadedPicture LoadPictureFile(const QString& file);

} // namespace pictova::desktop
