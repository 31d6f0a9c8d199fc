// Messages the programs show the player outside their own UI (a start-up
// failure, a fatal error): a system message box when a display exists, else
// a line on standard error. Title and text are code-page-949 texts.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Shows the message and returns when the player has closed the box (at once
// when it went to standard error).
void ShowMessage(std::string_view title, std::string_view text);

// Tests install a hook that receives every message instead; an empty hook
// restores the real sink.
using MessageHook = std::function<void(const std::string& title, const std::string& text)>;
void SetMessageHook(MessageHook hook);

}  // namespace platform
