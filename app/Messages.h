#pragma once
// How the application's services talk to the user without knowing any
// window: the front end supplies these callbacks (message boxes captioned
// "Pictova" in the desktop program, stderr and --yes in the command line).

#include <functional>
#include <string>
#include <string_view>

namespace pictova {

inline constexpr std::string_view kMessageCaption = "Pictova";

// Plain: a message without icon.
enum class TMessageKind { Plain, Information, Warning, Error, Question };

// The buttons a question can be answered with. Yes-to-all exists only in
// the three-way overwrite box.
enum class TAnswer { Yes, YesToAll, No, Cancel };

// Texts are UTF-8.
using TShowMessage = std::function<void(const std::string& text, TMessageKind kind)>;
using TAskQuestion = std::function<TAnswer(const std::string& text)>;

} // namespace pictova
