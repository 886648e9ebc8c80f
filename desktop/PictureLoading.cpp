#include "desktop/PictureLoading.h"

#include "show/ImageSize.h"

#include <QImageReader>

namespace pictova::desktop {

TLoadedPicture LoadPictureFile(const QString& file) {
    QByteArray format;
    switch (ImageFormatOf(file.toStdString())) {
    case TImageFormat::Jpeg:
        format = "jpeg";
        break;
    case TImageFormat::Png:
        format = "png";
        break;
    case TImageFormat::Bmp:
        format = "bmp";
        break;
    case TImageFormat::Gif:
        format = "gif";
        break;
    case TImageFormat::Tiff:
        format = "tiff";
        break;
    case TImageFormat::Unknown:
        return {};
    }
    // The decoder named by the extension, not a guess from the content: a
    // file that is not what its name says is reported as broken.
    QImageReader reader(file, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    TLoadedPicture loaded;
    loaded.Image = reader.read();
    if (loaded.Image.isNull())
        loaded.Error = reader.errorString();
    return loaded;
}

} // namespace pictova::desktop
