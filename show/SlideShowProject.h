#pragma once
// The slide show the user edits: the pictures in show order, each with its
// display time and transition, the list's selection and current item, and the
// show options. It lives in memory only. The desktop window mirrors it (one
// list line per item, in the same order) and calls these operations from its
// handlers; after each call it refreshes its controls from the model.

#include "show/ImageSize.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pictova {

// Display time in whole seconds after the transition (turned into frames at
// 20 frames per second by the build).
constexpr int kMinDuration = 1;
constexpr int kMaxDuration = 9999;
constexpr int kDefaultDuration = 5;

// The filter of the add-pictures dialog, in the "name|patterns|…" form.
constexpr std::string_view kPictureFileFilter =
    "Alle unterstützten Dateitypen (*.jpeg, *.jpg, *.png, *.bmp)|*.bmp;*.png;*.jpg;*.jpeg|"
    "JPEG-Dateien (*.jpeg, *.jpg)|*.jpeg;*.jpg|PNG-Dateien (*.png)|*.png|"
    "Bitmap-Dateien (*.bmp)|*.bmp";

// One picture of the show.
struct recImgItems {
    std::filesystem::path FileName;           // the full path as chosen; never edited
    std::int32_t Height = 0;                  // pixels, from the file's header; 0 when unreadable
    std::int32_t Width = 0;                   // pixels; 0 when unreadable
    std::int32_t Effect = 0;                  // 0..16; 0 = random, drawn at each build
    std::int32_t Duration = kDefaultDuration; // seconds

    // The list line: the file name without its folder.
    std::string DisplayName() const { return FileName.filename().string(); }
};

enum class TAudioChoice { None, Track1, Track2, Track3, Track4, OwnFile };

// Read by the build when it runs.
struct TShowOptions {
    TAudioChoice Audio = TAudioChoice::None;
    std::filesystem::path AudioFile; // own music file, MP3 or WAV
    bool AudioLoop = true;
    bool Compress = false;
    bool Password = false;
    std::string PasswordText; // only used while Password is on; an empty text still protects
    std::filesystem::path OutputPath; // the movie file
    bool OpenOutput = true;           // open the page in the browser after a final build
};

// What the per-item controls show: the focused item, or nothing (empty
// preview, duration 0, effect row 0) when no item is selected.
struct TItemView {
    bool Empty = true;
    std::filesystem::path FileName;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t Duration = 0;
    std::int32_t Effect = 0;
};

// Refused: nothing changed and the front end beeps.
enum class TMoveResult { Done, Refused };

class TSlideShowProject {
public:
    using TSizeReader = std::function<std::optional<TImageSize>(const std::filesystem::path&)>;

    // readSize gives the size of an added picture; nothing means 0 x 0.
    explicit TSlideShowProject(TSizeReader readSize = ReadImageSize);

    const std::vector<recImgItems>& ImgItems() const { return Items; }
    std::size_t Count() const { return Items.size(); }

    // Selection marks and the current item of the list. Setting a mark does
    // not move the current item; SelectOnly does both.
    bool IsSelected(std::size_t index) const;
    void SetSelected(std::size_t index, bool selected);
    void SelectOnly(std::size_t index);
    void ClearSelection();
    std::size_t SelectedCount() const;
    std::vector<std::size_t> SelectedIndices() const; // ascending
    std::optional<std::size_t> Focused() const { return Focus; }
    void SetFocused(std::optional<std::size_t> index);

    // Appends one item per file in the given order (defaults: effect 0,
    // duration 5, size from the header), then selects and focuses only the
    // last one. No files (a cancelled dialog) changes nothing.
    void AddPictures(const std::vector<std::filesystem::path>& files);
    // The folder of the file added last: where the add dialog opens next.
    const std::filesystem::path& LastAddFolder() const { return LastFolder; }

    // Removes every selected item, then selects (and focuses) the item now at
    // the highest removed index, or the last item when that is past the end.
    void RemoveSelected();

    // Moves the selected items one place up (down) as a block; refused when
    // the first (last) item is selected. Marks and the current item move with
    // their items.
    [[nodiscard]] TMoveResult MoveUp();
    [[nodiscard]] TMoveResult MoveDown();

    // The duration and effect controls changed: every selected item takes the
    // value. Ignored while Updating(). The duration is clamped to 1..9999 as
    // the spin edit bounds it; the effect is a row of the effect list (0..16).
    void SetDuration(int seconds);
    void SetEffect(int effect);

    TItemView FocusedView() const;
    // Runs fill with FocusedView() while Updating() is set, so that the
    // control handlers it sets off write nothing back.
    void ShowFocused(const std::function<void(const TItemView&)>& fill);

    // While a guard lives, Updating() is true (guards nest).
    class TUpdateGuard {
    public:
        explicit TUpdateGuard(TSlideShowProject& project) : Project(&project) {
            ++Project->UpdateDepth;
        }
        ~TUpdateGuard() { --Project->UpdateDepth; }
        TUpdateGuard(const TUpdateGuard&) = delete;
        TUpdateGuard& operator=(const TUpdateGuard&) = delete;

    private:
        TSlideShowProject* Project;
    };
    [[nodiscard]] TUpdateGuard BeginUpdate() { return TUpdateGuard(*this); }
    bool Updating() const { return UpdateDepth > 0; }

    TShowOptions& Options() { return ShowOptions; }
    const TShowOptions& Options() const { return ShowOptions; }
    // The output field changed: store it and, unless Updating(), tell
    // OutputPathChanged (which saves it in the settings).
    void SetOutputPath(const std::filesystem::path& path);
    // Typing or choosing an own music file also selects it as the music.
    void SetOwnAudioFile(const std::filesystem::path& path);
    std::function<void(const std::filesystem::path&)> OutputPathChanged;

    // Program start: no pictures, no selection, every option at its initial
    // value and the output path as given. The filling is not reported to
    // OutputPathChanged.
    void Reset(const std::filesystem::path& outputPath);

private:
    void Swap(std::size_t a, std::size_t b);

    TSizeReader ReadSize;
    std::vector<recImgItems> Items;
    std::vector<bool> Selected; // parallel to Items
    std::optional<std::size_t> Focus;
    std::filesystem::path LastFolder;
    TShowOptions ShowOptions;
    int UpdateDepth = 0;
};

} // namespace pictova
