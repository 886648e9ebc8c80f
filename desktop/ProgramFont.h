#pragma once
// The window is laid out for Tahoma at 11 pixels. Debian's fonts-wine ships
// a face with Tahoma's metrics that fontconfig does not index; registered
// with Qt it makes "Tahoma" resolve to it. Without it DejaVu Sans stands in
// (wider: long captions may be cut).

#include <QFont>
#include <QString>

namespace pictova::desktop {

inline const QString kProgramFontFamily = QStringLiteral("Tahoma");
constexpr int kProgramFontPixels = 11;

// Registers the Tahoma-compatible face when it is installed; true when
// "Tahoma" is then available. Call once after the QApplication exists.
bool RegisterProgramFont();

// Tahoma, 11 pixels.
QFont ProgramFont();

} // namespace pictova::desktop
