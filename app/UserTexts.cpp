#include "app/UserTexts.h"

#include "app/Language.h"
#include "app/TextReplace.h"
#include "platform/Errors.h"

#include <cerrno>
#include <cstring>
#include <utility>

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
    {"Desktop", "AddPictures", "Bitte fügen Sie dem Projekt mindestens eine Bilddatei hinzu."},
    {"Desktop", "PictureNotShown", "Die Bilddatei \"%1%\" kann nicht angezeigt werden: %2%"},
    {"Desktop", "MovieNotPlayed", "Der Film kann nicht abgespielt werden: %1%"},
    {"Desktop", "ProgressTitle", "Bitte warten ..."},
    {"Desktop", "ProgressLabel", "Vorgang wird bearbeitet..."},
    // Listening to the music: "%1%" the track's caption or the file's name.
    {"Desktop", "Playing", "Wiedergabe: %1%"},
    {"Desktop", "NoAudioOutput",
     "Kein Audioausgabegerät gefunden – die Musik kann nicht angehört werden."},
    {"Desktop", "TrackNotPlayed", "Die Musik „%1%“ kann nicht abgespielt werden."},
    {"Desktop", "AudioNotPlayed", "Die gewählte Audiodatei kann nicht abgespielt werden."},
    {"Desktop", "AudioMissing",
     "Die angegebene Audiodatei existiert nicht und kann daher nicht abgespielt werden."},
    // The Flash player: "%1%" the file or what the player reported, "%2%" why.
    {"Desktop", "PlayerGone", "Der Flash-Player ist nicht mehr vorhanden."},
    {"Desktop", "PlayerTimeout", "Der Film wurde nicht rechtzeitig geladen."},
    {"Desktop", "PlayerPageNotLoaded", "Die Seite des Flash-Players kann nicht geladen werden."},
    {"Desktop", "PlayerPageMissing", "Die Seite des Flash-Players fehlt: %1%"},
    {"Desktop", "PlayerEnded", "Der Flash-Player wurde unerwartet beendet."},
    {"Desktop", "PlayerCrashed", "Der Flash-Player ist abgestürzt: %1%"},
    {"Desktop", "PlayerNotStarted", "Der Flash-Player kann nicht starten: %1%"},
    {"Desktop", "PlayerCannotShow", "Der Flash-Player kann den Film nicht zeigen: %1%"},
    {"Desktop", "MovieUnreadable", "Die Datei \"%1%\" kann nicht gelesen werden: %2%"},
    {"Desktop", "NoFlashMovie", "Die Datei \"%1%\" ist kein lesbarer Flash-Film: %2%"},
    // The command line's usage errors and help; in Help "\n" stands for a line break.
    {"Usage", "NumberRange", "%1% erwartet eine Zahl von %2% bis %3%, nicht \"%4%\""},
    {"Usage", "NeedsValue", "%1% braucht einen Wert"},
    {"Usage", "MusicEmpty", "--music erwartet none, 1 bis 4 oder eine Datei, keinen leeren Text"},
    {"Usage", "LanguageName", "--language erwartet einen Namen wie English, nicht \"%1%\""},
    {"Usage", "UnknownOption", "unbekannte Option %1%"},
    {"Usage", "NoOutput", "kein Ausgabefilm angegeben (-o DATEI)"},
    {"Usage", "NoPictures", "keine Bilder angegeben"},
    {"Usage", "PreviewShowsNoPage",
     "--open und --serve zeigen die Seite, die --preview nicht schreibt"},
    {"Usage", "Help",
     "Aufruf: pictova-cli [Optionen] -o AUSGABE.swf [--effect N] [--duration S] BILD...\\n"
     "\\n"
     "Schreibt eine Diashow der Bilder (JPEG, PNG, BMP): den Film und, außer mit\\n"
     "--preview, daneben die Seite AUSGABE.html mit dem Ruffle-Abspieler in ruffle/.\\n"
     "\\n"
     "  -o, --output DATEI  der zu schreibende Film\\n"
     "  --effect N          Übergang der folgenden Bilder: 0 (zufällig, die\\n"
     "                      Vorgabe) oder 1 bis 16, siehe --list-effects\\n"
     "  --duration S        Anzeigedauer der folgenden Bilder, 1 bis 9999\\n"
     "                      Sekunden (Vorgabe 5)\\n"
     "  --preview           nur ein Vorschaufilm: kein Preloader, keine Seite\\n"
     "  --compress          den Film zlib-komprimiert schreiben\\n"
     "  --password TEXT     den Film vor dem Import schützen (auch ein leerer Text schützt)\\n"
     "  --music M           Hintergrundmusik: none (die Vorgabe), ein mitgeliefertes Stück\\n"
     "                      1 \"Step Out\", 2 \"Brightsunray\", 3 \"Merry\", 4 \"The Silent\\n"
     "                      River\", oder eine eigene MP3- oder WAV-DATEI\\n"
     "  --no-loop           die Musik einmal spielen statt während der ganzen Diashow\\n"
     "  --seed N            die zufälligen Effekte wiederholbar ziehen\\n"
     "  --yes               einen fehlenden Ausgabeordner anlegen und vorhandene\\n"
     "                      Dateien ersetzen\\n"
     "  --language NAME     die Sprache der Meldungen, aus lng/NAME.lng neben dem\\n"
     "                      Programm: Deutsch (die Vorgabe) oder English\\n"
     "  --serve             den Ausgabeordner auf 127.0.0.1 zeigen und die Adresse\\n"
     "                      der Seite ausgeben, bis zum Abbruch\\n"
     "  --open              dasselbe, und die Seite im Browser öffnen\\n"
     "  --list-effects      die Effekte mit ihren Nummern ausgeben\\n"
     "  --version           die Version ausgeben\\n"
     "  -h, --help          diese Hilfe ausgeben\\n"},
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

std::string FormatText(std::string_view text, const std::vector<std::string>& args) {
    std::vector<std::string> placeholders;
    std::vector<std::pair<std::string_view, std::string>> replacements;
    placeholders.reserve(args.size());
    for (size_t i = 0; i < args.size(); ++i)
        placeholders.push_back("%" + std::to_string(i + 1) + "%");
    for (size_t i = 0; i < args.size(); ++i)
        replacements.emplace_back(placeholders[i], args[i]);
    return ReplacePlaceholders(text, replacements);
}

std::string BuiltInText(std::string_view section, std::string_view key,
                        const std::vector<std::string>& args) {
    return FormatText(BuiltInText(section, key), args);
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
