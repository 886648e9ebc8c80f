#include "app/UserTexts.h"

#include "app/Language.h"
#include "platform/Errors.h"

#include <cerrno>
#include <cstring>

namespace pictova {

namespace {

const std::vector<TBuiltInText> kTexts = {
    // Files: "%1%" the file, "%2%" why (the system's text for the errno).
    {"Errors", "FileMissing", "Die Datei \"%1%\" existiert nicht."},
    {"Errors", "FileOpen", "Die Datei \"%1%\" kann nicht geöffnet werden: %2%"},
    {"Errors", "FileRead", "Die Datei \"%1%\" kann nicht gelesen werden: %2%"},
    {"Errors", "FileWrite", "Die Datei \"%1%\" kann nicht geschrieben werden: %2%"},
    {"Errors", "FileCreate", "Im Ordner \"%1%\" kann keine Datei angelegt werden: %2%"},
    {"Errors", "FolderCreate", "Der Ordner \"%1%\" kann nicht angelegt werden: %2%"},
    {"Errors", "FileLock", "Die Datei \"%1%\" wird gerade von einem anderen Programm benutzt: %2%"},
    // Pictures: "%1%" the file, "%2%" the format or what the decoder found.
    {"Errors", "PictureFormat", "Das Bildformat \"%2%\" der Datei \"%1%\" wird nicht unterstützt."},
    {"Errors", "PictureUnreadable", "Das Bild \"%1%\" kann nicht gelesen werden: %2%"},
    {"Errors", "PictureNoSize", "Das Bild \"%1%\" hat keine Größe und kann nicht gezeigt werden."},
    {"Errors", "PictureSizeUnknown",
     "Die Größe des Bildes \"%1%\" ist nicht lesbar: die Datei ist kein lesbares Bild oder hat "
     "0 × 0 Pixel."},
    // Sounds: "%1%" the file, "%2%" what the reader found or the track's caption.
    {"Errors", "SoundUnusable", "Die Audiodatei \"%1%\" kann nicht eingebunden werden: %2%"},
    {"Errors", "SoundBuiltInMissing",
     "Die mitgelieferte Musik \"%2%\" fehlt: die Datei \"%1%\" existiert nicht."},
    // The show.
    {"Errors", "ShowNoPictures", "Die Diashow enthält keine Bilder."},
    {"Errors", "ShowDuration",
     "Die Anzeigedauer von \"%1%\" muss zwischen %2% und %3% Sekunden liegen."},
    {"Errors", "ShowTooLong",
     "Die Diashow ist zu lang: sie ergäbe %1% Einzelbilder, ein Flash-Film kann aber höchstens "
     "%2% enthalten. Bei %3% Bildern pro Sekunde darf die Diashow samt Übergängen höchstens %4% "
     "Minuten und %5% Sekunden dauern."},
    {"Errors", "ShowNoOutput", "Es ist keine Ausgabedatei angegeben."},
    {"Errors", "PlayerMissing", "Der Abspieler fehlt: \"%1%\" ist nicht vorhanden."},
    // The command line's reports.
    {"CLI", "WroteMovie", "%1% geschrieben (%2% × %3% Pixel, %4% Einzelbilder)"},
    {"CLI", "WrotePage", "%1% geschrieben, mit dem Abspieler in %2%"},
    {"CLI", "HowToWatch",
     "Zum Ansehen den Ordner über einen Webserver zeigen (etwa mit --serve): Browser starten den "
     "Abspieler nicht von einer file://-Seite."},
    {"CLI", "Serving", "Die Diashow ist unter %1% zu sehen (Strg+C beendet)"},
    {"CLI", "NoBrowser", "Es konnte kein Browser geöffnet werden; öffnen Sie %1% selbst."},
    {"CLI", "NotWritten", "\"%1%\" wird nicht geschrieben."},
    {"CLI", "YesHint", "(mit --yes wird das ohne Rückfrage erledigt)"},
    // The desktop program's.
    {"Desktop", "NoBrowser",
     "Der Browser konnte nicht geöffnet werden. Die Diashow ist unter %1% zu sehen, solange "
     "Pictova läuft."},
};

std::string Why(int error) {
    return error != 0 ? std::strerror(error) : std::string("?");
}

std::string FileMessage(const EFileError& e, const TLanguage& language) {
    const std::string file = e.File().string();
    const std::string why = Why(e.Errno());
    switch (e.Action()) {
    case TFileAction::Open:
        if (e.Errno() == ENOENT)
            return language.Text("Errors", "FileMissing", {file});
        return language.Text("Errors", "FileOpen", {file, why});
    case TFileAction::Read:
        return language.Text("Errors", "FileRead", {file, why});
    case TFileAction::Write:
        return language.Text("Errors", "FileWrite", {file, why});
    case TFileAction::Create:
        return language.Text("Errors", "FileCreate", {file, why});
    case TFileAction::CreateFolder:
        return language.Text("Errors", "FolderCreate", {file, why});
    case TFileAction::Lock:
        return language.Text("Errors", "FileLock", {file, why});
    }
    return e.what();
}

std::string PictureMessage(const EPictureError& e, const TLanguage& language) {
    const std::string file = e.File().string();
    switch (e.Problem()) {
    case EPictureError::UnsupportedFormat:
        return language.Text("Errors", "PictureFormat", {file, e.Detail()});
    case EPictureError::Unreadable:
        return language.Text("Errors", "PictureUnreadable", {file, e.Detail()});
    case EPictureError::NoSize:
        return language.Text("Errors", "PictureNoSize", {file});
    case EPictureError::SizeUnknown:
        return language.Text("Errors", "PictureSizeUnknown", {file});
    }
    return e.what();
}

std::string SoundMessage(const ESoundError& e, const TLanguage& language) {
    const std::string file = e.File().string();
    switch (e.Problem()) {
    case ESoundError::Unusable:
        return language.Text("Errors", "SoundUnusable", {file, e.Detail()});
    case ESoundError::BuiltInMissing:
        return language.Text("Errors", "SoundBuiltInMissing", {file, e.Detail()});
    }
    return e.what();
}

std::string ShowMessage(const EShowError& e, const TLanguage& language) {
    switch (e.Problem()) {
    case EShowError::NoPictures:
        return language.Text("Errors", "ShowNoPictures");
    case EShowError::DurationOutOfRange:
        return language.Text(
            "Errors", "ShowDuration",
            {e.File().string(), std::to_string(e.Limit()), std::to_string(e.Limit2())});
    case EShowError::TooLong: {
        const int64_t seconds = e.Limit2() > 0 ? e.Limit() / e.Limit2() : 0;
        return language.Text("Errors", "ShowTooLong",
                             {std::to_string(e.Value()), std::to_string(e.Limit()),
                              std::to_string(e.Limit2()), std::to_string(seconds / 60),
                              std::to_string(seconds % 60)});
    }
    case EShowError::NoOutputFile:
        return language.Text("Errors", "ShowNoOutput");
    case EShowError::PlayerMissing:
        return language.Text("Errors", "PlayerMissing", {e.File().string()});
    }
    return e.what();
}

} // namespace

const std::vector<TBuiltInText>& BuiltInTexts() {
    return kTexts;
}

std::string_view BuiltInText(std::string_view section, std::string_view key) {
    for (const TBuiltInText& text : kTexts)
        if (text.Section == section && text.Key == key)
            return text.Text;
    return {};
}

std::string UserMessage(const std::exception& error, const TLanguage& language) {
    if (const auto* e = dynamic_cast<const EFileError*>(&error))
        return FileMessage(*e, language);
    if (const auto* e = dynamic_cast<const EPictureError*>(&error))
        return PictureMessage(*e, language);
    if (const auto* e = dynamic_cast<const ESoundError*>(&error))
        return SoundMessage(*e, language);
    if (const auto* e = dynamic_cast<const EShowError*>(&error))
        return ShowMessage(*e, language);
    return error.what();
}

} // namespace pictova
