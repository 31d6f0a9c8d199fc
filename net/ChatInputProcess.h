// The one way every screen handles a typed chat line: mute and flood limits,
// typed mark-up removed, slash commands recognised and their messages sent,
// the chat mode switched. What is left for the screen to send in its own
// message comes back as the session's chat record.
#pragma once

#include <string>
#include <string_view>

#include "net/ChatInput.h"

class CClientSession;
class CUiListBox;
class CUiStatic;

// The record to send, or null (refused, a mode switch, or a command that sent
// its own message). Refusals go into the chat list in red.
const ChatRecord* ProcessChatInput(CUiStatic* modeLabel, CClientSession& session, std::string_view text,
                                   CUiListBox* chatList);
// The addressee label of team chat (the team entry with its colour), the
// label the chat input reads to choose team chat.
std::string ChatTeamLabel();
