#pragma once
// The names of the transition effects as the effect list shows them. An
// effect number is the row of its caption; 0 stands for a random effect
// drawn at build time.

#include <array>
#include <string_view>

namespace pictova {

constexpr int kEffectCount = 17; // 0 (random) and the sixteen transitions

// UTF-8.
const std::array<std::string_view, kEffectCount>& EffectCaptions();
std::string_view EffectCaption(int effect); // effect in 0..16

} // namespace pictova
