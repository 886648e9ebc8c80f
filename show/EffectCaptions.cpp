#include "show/EffectCaptions.h"

#include <cassert>

namespace pictova {

const std::array<std::string_view, kEffectCount>& EffectCaptions() {
    static constexpr std::array<std::string_view, kEffectCount> kCaptions = {
        "(Zufällig)",
        "Harter Übergang",
        "Weicher Übergang",
        "Von links überschieben",
        "Von rechts überschieben",
        "Von oben überschieben",
        "Von unten überschieben",
        "Von links oben einfliegen",
        "Von rechts oben einfliegen",
        "Von rechts unten einfliegen",
        "Von links unten einfliegen",
        "Von links einschieben",
        "Von oben einschieben",
        "Von rechts einschieben",
        "Von unten einschieben",
        "Rechtsdrehend einwerfen",
        "Linksdrehend einwerfen",
    };
    return kCaptions;
}

std::string_view EffectCaption(int effect) {
    assert(effect >= 0 && effect < kEffectCount);
    return EffectCaptions()[std::size_t(effect)];
}

} // namespace pictova
