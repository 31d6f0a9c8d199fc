// The community operations the screens and the shared message handlers call:
// adding a friend or a blocked user, guild chat and notices, and the server's
// list messages that replace the tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class CClientSession;
class CUiListBox;

// 1 when the text is a valid nickname; otherwise the matching error is shown
// (with a chat list in it, else in the message box) and 0.
int ValidateCommunityName(std::string_view text, CUiListBox* list, int guildFlag);
// Shows the text in red in the chat list, or in the message box when there is
// none; either way the keyboard focus is taken away.
void ShowCommunityError(const char* text, CUiListBox* list);
// Checks the name against the own nickname and the tables, then sends 2043
// (friend) or 2047. 1 when sent.
int AddCommunityMember(CClientSession& session, std::string_view nickname, bool isFriend, CUiListBox* list);

// 1 when sent or when the text is blank (nothing to send); 0 when the send failed.
int SendGuildChat(CClientSession& session, std::string_view text);
// A received 1026: the filtered line in orange. 0 when the payload ends before its text.
int ShowGuildChatLine(CClientSession& session, CUiListBox* list, const uint8_t* payload, size_t size);
// 1055 (accepted), 1057 (banished) or 1058 (left): the line, then the roster.
void HandleGuildNotice(CClientSession& session, uint16_t id, std::string_view nickname, CUiListBox* list);
// 1028 (online 1) or 1029 (online 0): the nickname at payload offset 27. 0 when
// the payload ends before it.
int SetGuildMemberOnline(CClientSession& session, const uint8_t* payload, size_t size, int online, CUiListBox* list);

// The server messages that replace a whole table (3042-3044, 3046-3048, 3025,
// 1030); only an ok byte of 1 changes anything. 1 handled (a bare refusal
// too), 0 when the payload ends inside the list, -1 for another id.
int HandleCommunityListPacket(CClientSession& session, uint16_t id, const uint8_t* payload, size_t size);
