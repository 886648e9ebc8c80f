#include "desktop/ProgramFont.h"

#include <QFile>
#include <QFontDatabase>

namespace pictova::desktop {

namespace {

// Where Debian's fonts-wine installs its faces.
const char* const kTahomaFiles[] = {"/usr/share/wine/fonts/tahoma.ttf",
                                    "/usr/share/wine/fonts/tahomabd.ttf"};

} // namespace

bool RegisterProgramFont() {
    if (QFontDatabase::hasFamily(kProgramFontFamily))
        return true;
    for (const char* file : kTahomaFiles)
        if (QFile::exists(QString::fromLatin1(file)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    if (QFontDatabase::hasFamily(kProgramFontFamily))
        return true;
    QFont::insertSubstitution(kProgramFontFamily, QStringLiteral("DejaVu Sans"));
    return false;
}

QFont ProgramFont() {
    QFont font(kProgramFontFamily);
    font.setPixelSize(kProgramFontPixels);
    return font;
}

} // namespace pictova::desktop
