#include "show/SlideShowProject.h"

#include "show/EffectCaptions.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace pictova {

TSlideShowProject::TSlideShowProject(TSizeReader readSize) : ReadSize(std::move(readSize)) {
    assert(ReadSize);
}

bool TSlideShowProject::IsSelected(std::size_t index) const {
    assert(index < Items.size());
    return Selected[index];
}

void TSlideShowProject::SetSelected(std::size_t index, bool selected) {
    assert(index < Items.size());
    Selected[index] = selected;
}

void TSlideShowProject::SelectOnly(std::size_t index) {
    assert(index < Items.size());
    ClearSelection();
    Selected[index] = true;
    Focus = index;
}

void TSlideShowProject::ClearSelection() {
    std::fill(Selected.begin(), Selected.end(), false);
}

std::size_t TSlideShowProject::SelectedCount() const {
    return std::size_t(std::count(Selected.begin(), Selected.end(), true));
}

std::vector<std::size_t> TSlideShowProject::SelectedIndices() const {
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < Selected.size(); ++i)
        if (Selected[i])
            indices.push_back(i);
    return indices;
}

void TSlideShowProject::SetFocused(std::optional<std::size_t> index) {
    assert(!index || *index < Items.size());
    Focus = index;
}

void TSlideShowProject::AddPictures(const std::vector<std::filesystem::path>& files) {
    if (files.empty())
        return;
    for (const auto& file : files) {
        recImgItems item;
        item.FileName = file;
        // An unreadable size is kept as 0 x 0; the build reports the picture.
        if (const auto size = ReadSize(file)) {
            item.Width = size->Width;
            item.Height = size->Height;
        }
        Items.push_back(std::move(item));
        Selected.push_back(false);
    }
    LastFolder = files.back().parent_path();
    SelectOnly(Items.size() - 1);
}

void TSlideShowProject::RemoveSelected() {
    const std::vector<std::size_t> doomed = SelectedIndices();
    if (doomed.empty())
        return;
    // From the highest index down, so that the lower indices stay valid.
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        Items.erase(Items.begin() + std::ptrdiff_t(*it));
        Selected.erase(Selected.begin() + std::ptrdiff_t(*it));
    }
    Focus.reset();
    if (Items.empty())
        return;
    SelectOnly(std::min(doomed.back(), Items.size() - 1));
}

void TSlideShowProject::Swap(std::size_t a, std::size_t b) {
    std::swap(Items[a], Items[b]);
    const bool mark = Selected[a];
    Selected[a] = Selected[b];
    Selected[b] = mark;
    if (Focus == a)
        Focus = b;
    else if (Focus == b)
        Focus = a;
}

TMoveResult TSlideShowProject::MoveUp() {
    if (!Items.empty() && Selected.front())
        return TMoveResult::Refused;
    for (std::size_t i = 1; i < Items.size(); ++i)
        if (Selected[i])
            Swap(i, i - 1);
    return TMoveResult::Done;
}

TMoveResult TSlideShowProject::MoveDown() {
    if (!Items.empty() && Selected.back())
        return TMoveResult::Refused;
    for (std::size_t i = Items.size(); i-- > 1;)
        if (Selected[i - 1])
            Swap(i - 1, i);
    return TMoveResult::Done;
}

void TSlideShowProject::SetDuration(int seconds) {
    if (Updating())
        return;
    const int duration = std::clamp(seconds, kMinDuration, kMaxDuration);
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (Selected[i])
            Items[i].Duration = duration;
}

void TSlideShowProject::SetEffect(int effect) {
    assert(effect >= 0 && effect < kEffectCount);
    if (Updating())
        return;
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (Selected[i])
            Items[i].Effect = effect;
}

TItemView TSlideShowProject::FocusedView() const {
    TItemView view;
    if (SelectedCount() == 0 || !Focus)
        return view;
    const recImgItems& item = Items[*Focus];
    view.Empty = false;
    view.FileName = item.FileName;
    view.Width = item.Width;
    view.Height = item.Height;
    view.Duration = item.Duration;
    view.Effect = item.Effect;
    return view;
}

void TSlideShowProject::ShowFocused(const std::function<void(const TItemView&)>& fill) {
    const TUpdateGuard guard(*this);
    fill(FocusedView());
}

void TSlideShowProject::SetOutputPath(const std::filesystem::path& path) {
    ShowOptions.OutputPath = path;
    if (!Updating() && OutputPathChanged)
        OutputPathChanged(path);
}

void TSlideShowProject::SetOwnAudioFile(const std::filesystem::path& path) {
    ShowOptions.AudioFile = path;
    ShowOptions.Audio = TAudioChoice::OwnFile;
}

void TSlideShowProject::Reset(const std::filesystem::path& outputPath) {
    const TUpdateGuard guard(*this);
    Items.clear();
    Selected.clear();
    Focus.reset();
    ShowOptions = TShowOptions();
    SetOutputPath(outputPath);
}

} // namespace pictova
