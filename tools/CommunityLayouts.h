// The lobby's community layouts with every control their windows bind: the
// community window with its tabs, the add-friend, create-guild, guild
// wait-list, join-guild and guild data windows, and the blinking mark of
// the application-list button. Used by the lobby tests and the sample game
// folder.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec CommunityLayout();
LayoutFileSpec AddFriendLayout();
LayoutFileSpec CreateGuildLayout();
LayoutFileSpec GuildWaitListLayout();
LayoutFileSpec JoinGuildLayout();
LayoutFileSpec GuildDataLayout();

// "COMMUNITY.DUI", "OTHERPANNELS.DUI", "GUILD_WAIT_LIST.DUI", "GUILD_DATA.DUI",
// "CREATE_GUILD.DUI", "JOIN_GUILD.DUI".
int AddCommunityLayouts(CPackageWriter& package);
// "GUILD_BLINK.DDS".
int AddCommunityMedia(CPackageWriter& package);
