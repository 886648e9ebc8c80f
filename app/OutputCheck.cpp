#include "app/OutputCheck.h"

#include "app/Language.h"
#include "app/Settings.h"

#include <cassert>
#include <system_error>
#include <utility>

namespace pictova {

namespace fs = std::filesystem;

TOutputCheck::TOutputCheck(TSettings& settings, const TLanguage& language, TOutputCheckUi ui)
    : Settings(settings), Language(language), Ui(std::move(ui)) {
    assert(Ui.AskYesNoCancel && Ui.AskOverwrite && Ui.ShowMessage);
}

bool TOutputCheck::CheckOutputFile(const fs::path& file) {
    // A bare file name lies in the current folder, which exists.
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::error_code ec;
    if (!fs::exists(folder, ec)) {
        const std::string shown = (folder / "").string(); // with its trailing slash
        if (Ui.AskYesNoCancel(Language.GetLangString("Messages", "OutDirNExist", shown)) !=
            TAnswer::Yes)
            return false;
        fs::create_directories(folder, ec);
        if (ec)
            Ui.ShowMessage(Language.GetLangString("Messages", "CantCreateOutDir", shown),
                           TMessageKind::Warning);
    }

    // A dangling symbolic link is something that exists there, too.
    if (!fs::exists(fs::symlink_status(file, ec)) || AllYes)
        return true;
    const int option = Settings.AlreadyExist();
    if (option == kAlreadyExistNever)
        return false;
    if (option != kAlreadyExistAsk)
        return true;
    ApplyLanguage("frmMsgBox", Settings);
    switch (Ui.AskOverwrite(Language.GetLangString("Messages", "ConfOverwr", file.string()))) {
    case TAnswer::YesToAll:
        AllYes = true;
        return true;
    case TAnswer::Yes:
        return true;
    case TAnswer::No:
    case TAnswer::Cancel:
        break;
    }
    return false;
}

} // namespace pictova
