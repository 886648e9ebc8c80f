#pragma once
// The checks before the movie or its page is written: the output folder
// exists (or the user lets us create it), and an existing file may be
// replaced (asked, refused or allowed by the settings' optAlreadyExist).

#include "app/Messages.h"

#include <filesystem>

namespace pictova {

class TLanguage;
class TSettings;

// The front end's side of the checks.
struct TOutputCheckUi {
    // A question with the buttons Yes, No and Cancel (question icon).
    TAskQuestion AskYesNoCancel;
    // The three-way overwrite box: Yes, Yes to all, No, Cancel.
    TAskQuestion AskOverwrite;
    // A message with an icon (a warning here).
    TShowMessage ShowMessage;
};

class TOutputCheck {
public:
    // settings and language must outlive the check.
    TOutputCheck(TSettings& settings, const TLanguage& language, TOutputCheckUi ui);

    // True when file may be written:
    // 1. When its folder does not exist, asks [Messages] OutDirNExist ("%1%" =
    //    the folder with a trailing slash); anything but Yes gives false. After
    //    Yes the folder is created with its parents; when that fails,
    //    [Messages] CantCreateOutDir is shown as a warning and the checks go on
    //    (the write then reports the failure).
    // 2. When nothing exists at the path, or yes-to-all was given: true.
    //    Otherwise by optAlreadyExist: 0 asks [Messages] ConfOverwr ("%1%" =
    //    the file) in the three-way box (Yes: true; Yes to all: true from now
    //    on; No, Cancel: false), 2 gives false silently, others give true.
    bool CheckOutputFile(const std::filesystem::path& file);

    bool YesToAll() const { return AllYes; }
    // The Create button starts each build's checks afresh.
    void ClearYesToAll() { AllYes = false; }

private:
    TSettings& Settings;
    const TLanguage& Language;
    TOutputCheckUi Ui;
    bool AllYes = false;
};

} // namespace pictova
