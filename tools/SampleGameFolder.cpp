#include "tools/SampleGameFolder.h"

#include <cctype>
#include <map>

#include "engine/core/MessageTable.h"
#include "platform/File.h"
#include "platform/GfxTypes.h"
#include "tools/BmpWriter.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"
#include "tools/StandardEffects.h"
#include "tools/ProtocolTablesWriter.h"
#include "tools/SampleGameData.h"
#include "tools/SampleMap.h"
#include "tools/PreviewModels.h"
#include "tools/SampleModel.h"
#include "tools/SamplePlayResources.h"
#include "tools/ShopLayouts.h"
#include "tools/SampleTutorial.h"
#include "tools/StatusPanelLayouts.h"
#include "tools/CommunityLayouts.h"
#include "tools/LobbyLayouts.h"
#include "tools/HudLayouts.h"
#include "tools/PlayInputLayouts.h"
#include "tools/ChatLayouts.h"
#include "tools/MainPanelLayouts.h"
#include "tools/MarketLayouts.h"
#include "tools/MenuLayouts.h"
#include "tools/PlayLayouts.h"
#include "tools/ResultLayouts.h"
#include "tools/RoomLayouts.h"
#include "tools/LoginLayouts.h"
#include "tools/UiLayouts.h"
#include "tools/WaveWriter.h"

namespace {

// Texts that callers fill in or that the player reads as words of a control.
const std::map<int, std::string>& MessageOverrides() {
    static const std::map<int, std::string> texts = {
        {MSG_APP_ERROR_MEMORY_FALIED, "Not enough memory: %d MB needed, %d MB found."},
        {MSG_APP_ERROR_CPU_SPEED_FAILED, "The processor is too slow: %s needed, %d MHz found."},
        {MSG_APP_ERROR_3D_HAL_FAILED, "No 3D hardware acceleration was found."},
        {MSG_APP_ERROR_VIDEO_MEM_FAILED, "Not enough video memory: %d MB needed, %d MB found."},
        {MSG_APP_ERROR_MEMORY_FALIED_PVM, "Not enough memory for this mode: %d MB needed, %d MB found."},
        {MSG_APP_ERROR_CPU_SPEED_FAILED_PVM, "The processor is too slow for this mode: %s needed, %d MHz found."},
        {MSG_APP_ERROR_VIDEO_MEM_FAILED_PVM, "Not enough video memory for this mode: %d MB needed, %d MB found."},
        {MSG_ERROR_FILE_NOT_FOUND, "Cannot find the file %s."},
        {MSG_ERROR_FILE_NOT_READ, "Cannot read the file %s."},
        {MSG_ERROR_FILE_VERSION, "The file %s has a wrong version."},
        {MSG_ERROR_STREAM_TOO_SHORT, "The file %s is shorter than its contents."},
        {MSG_ERROR_WRONG_DATA_FILE, "The data file %s is damaged.\nPlease run the patcher again."},
        {MSG_ERROR_WRONG_DATA_FILE_KEY, "The map %s was made for other game data.\nPlease run the patcher again."},
        {MSG_ERROR_NETWORK_NORMAL, "Network error %d: %s"},
        {MSG_ERROR_NETWORK_DISCONNECT, "The connection to the server was closed."},
        {MSG_TIME_SHUTDOWN_SERVER_SEC, "The server shuts down in %d seconds."},
        {MSG_TIME_SHUTDOWN_SERVER_MIN, "The server shuts down in %d minutes."},
        {MSG_TIME_HOUR_MIN_SEC, "%d:%02d:%02d"},
        {MSG_TIME_MIN_SEC, "%d:%02d"},
        {MSG_TIME_SEC, "%d s"},
        {MSG_REPLAY_GAMESPEED, "Speed x%.1f"},
        {MSG_GAMEPLAY_PING_INFO_GOOD, "</C=00ff00>o</>"},
        {MSG_GAMEPLAY_PING_INFO_NOR, "</C=ffff00>o</>"},
        {MSG_GAMEPLAY_PING_INFO_BAD, "</C=ff0000>x</>"},
        {MSG_GAMEPLAY_UI_RANK_TITLE_SIEGE, "Players - siege"},
        {MSG_GAMEPLAY_UI_RANK_TITLE_PVM, "Players - versus machines"},
        {MSG_NICKNAME_RANK_INFO, "Rank %d %s (%d points)"},
        {MSG_NICKNAME_BADRANK_INFO, "Disconnects: %s (%d)"},
        {MSG_NICKNAME_GUILD_NAME, "Guild %s"},
        {MSG_MYINFO_HERO_INFO,
         "</C=ffff00>%s</>  %s\nClass: %s\nStrength %d  Dexterity %d  Intelligence %d\nAttack %d  Defence %d\n"
         "Hit points %d  Mana %d\nRace: %s\n%s"},
        {MSG_MYINFO_HERO_LONG_ATTACK, "</C=ff9933>Ranged attack</>\n%s"},
        {MSG_MYINFO_HERO_SHORT_ATTACK, "</C=ff9933>Close attack</>\n%s"},
        {MSG_WAITROOM_ENTER_PLAYER, "%s entered the room."},
        {MSG_WAITROOM_EXIT_PLAYER, "%s was removed from the room."},
        {MSG_WAITROOM_LEAVE_PLAYER, "%s left the room."},
        {MSG_WAITROOM_WARPOINT, "</C=%06x>+%d</> </C=%06x>-%d</>"},
        {MSG_WAITROOM_LIMIT_USER, "At most %d players"},
        {MSG_GAMEPLAY_OUT_PLAYER, "%s left the game."},
        {MSG_GAMEPLAY_PLAYER_INFO, "%s (%s)"},
        {MSG_CHAT_SEND_TO_TEAM, "</C=%06x>To the team"},
        {MSG_CHAT_SEND_TO_ALL, "To all"},
        {MSG_GAMEPLAY_ITEM_DESC, "<%s>%s</>\nPrice <%s>%d</>\n%s"},
        {MSG_GAMEPLAY_ITME_DESC_LIMIT_LEVEL, "<%s>%s</>\nPrice <%s>%d</>\n%s\nFrom level %d"},
        {MSG_GAMEPLAY_ID_PLAYER, "Lv%d %s%s\n%s%s"},
        {MSG_GAMEPLAY_ID_OTHER, "Lv%d %s%s"},
        {MSG_GAMEPLAY_SHOP_BUY_TOOLTIP, "\nRight click to buy."},
        {MSG_GAMEPLAY_INVEN_HELP_TOOLTIP, "\nRight click to use, drag to move."},
        {MSG_OK, "OK"},
        {MSG_CANCEL, "Cancel"},
        {MSG_CLOSE, "Close"},
    };
    return texts;
}

// "MSG_LOBBY_ROOM_FULL" (52) -> "Lobby room full (52)"
std::string TextFromKey(const std::string& key, int index) {
    std::string words = key.rfind("MSG_", 0) == 0 ? key.substr(4) : key;
    std::string text;
    for (char c : words) {
        if (c == '_') {
            if (!text.empty() && text.back() != ' ') text += ' ';
        } else {
            char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            text += text.empty() ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : lower;
        }
    }
    return text + " (" + std::to_string(index) + ")";
}

// The logo: a dark frame around a gradient, so that a wrong texel, level or
// orientation shows on screen and in a read-back.
std::vector<uint8_t> LogoTexture(uint32_t blue) {
    constexpr uint32_t kSize = 256;
    std::vector<uint32_t> argb(kSize * kSize);
    for (uint32_t y = 0; y < kSize; ++y) {
        for (uint32_t x = 0; x < kSize; ++x) {
            bool frame = x < 16 || y < 16 || x >= kSize - 16 || y >= kSize - 16;
            argb[y * kSize + x] = frame ? 0xFF202020u : 0xFF000000u | (x << 16) | (y << 8) | blue;
        }
    }
    return CDdsWriter::FromArgb(platform::FMT_DXT5, kSize, kSize, argb, 0);
}

// The first logo's chime: a second of a falling two-tone square wave, 16-bit mono.
std::vector<uint8_t> LogoSound() {
    const platform::AudioFormat f = PcmFormat(1, 22050, 16);
    std::vector<uint8_t> pcm;
    pcm.reserve(44100);
    for (uint32_t i = 0; i < 22050; ++i) {
        const uint32_t period = i < 11025 ? 50 : 75;
        const int amplitude = static_cast<int>(6000 - i * 6000 / 22050);
        const int16_t v = static_cast<int16_t>((i / (period / 2)) % 2 ? amplitude : -amplitude);
        pcm.push_back(static_cast<uint8_t>(v & 0xFF));
        pcm.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return BuildWave(f, pcm);
}

std::string SampleNoticeText() {
    return "<html><head><title>QOR</title></head>\r\n"
           "<body bgcolor=\"#101830\" text=\"#FFFFFF\">\r\n"
           "<h2>QOR</h2>\r\n<p>The patch brings your game up to date. Press Start when it has finished.</p>\r\n"
           "</body></html>\r\n";
}

bool WriteText(const std::string& path, const std::string& text) {
    return platform::WriteWholeFile(path, text.data(), text.size());
}

}  // namespace

std::vector<uint8_t> SamplePatchLogo() {
    std::vector<uint8_t> rgb(static_cast<size_t>(kPatchLogoWidth) * kPatchLogoHeight * 3);
    for (int y = 0; y < kPatchLogoHeight; ++y)
        for (int x = 0; x < kPatchLogoWidth; ++x) {
            size_t at = (static_cast<size_t>(y) * kPatchLogoWidth + x) * 3;
            rgb[at] = static_cast<uint8_t>(0x10 + y * 0x50 / kPatchLogoHeight);
            rgb[at + 1] = static_cast<uint8_t>(0x20 + x * 0x40 / kPatchLogoWidth);
            rgb[at + 2] = 0x70;
        }
    return rgb;
}

std::vector<MessageEntry> SampleMessages() {
    std::vector<MessageEntry> entries;
    entries.reserve(MESSAGE_COUNT);
    const auto& overrides = MessageOverrides();
    for (int i = 0; i < MESSAGE_COUNT; ++i) {
        auto it = overrides.find(i);
        entries.emplace_back(MessageKeyName(i), it != overrides.end() ? it->second : TextFromKey(MessageKeyName(i), i));
    }
    return entries;
}

std::string SampleGameInfoText() {
    CInfoFileWriter info;
    // The logo screen shows these in turn; the second is silent.
    info.Add("LOGO_COUNT", 2);
    info.Add("LOGO1_TEXTURE", "LOGO1.DDS");
    info.Add("LOGO1_SOUND", "LOGO1.WAV");
    info.Add("LOGO2_TEXTURE", "LOGO2.DDS");
    info.Add("LOGO2_SOUND", "");
    info.Add("LOAD_DATA", kSampleDataBlock);
    // The sample map in the lists of playable maps and of tutorials.
    info.Add("LOAD_MAPCOUNT", 1);
    info.Add("LOAD_KEY_1", kSampleRoomMapKeys[0]);
    info.Add("LOAD_MAP_1", kSampleMap);
    info.Add("PVM_MAPCOUNT", 1);
    info.Add("PVM_KEY_1", kSampleRoomMapKeys[1]);
    info.Add("PVM_MAP_1", kSampleMap);
    info.Add("TUTORIAL_MAPCOUNT", 1);
    info.Add("TUTORIAL_KEY_1", 3);
    info.Add("TUTORIAL_MAP_1", kSampleMap);
    // Fonts are named by file. The client looks a font up like any data file
    // (package, loose file, working folder) and then in the system's font
    // folders, where Debian's fonts-nanum package installs NanumGothic.ttf
    // (/usr/share/fonts/truetype/nanum); it covers the Korean texts.
    struct Font {
        int size, outline;
        const char* bold1;
        const char* bold2;
        int gap1, gap2;
    };
    const Font fonts[] = {{9, 0, "0.0", "0.0", 0, 0}, {10, 1, "0.5", "0.0", 0, 0}, {14, 1, "1.0", "0.5", 1, 0}};
    info.Add("FONT_COUNT", 3);
    for (int i = 0; i < 3; ++i) {
        std::string n = "FONT" + std::to_string(i + 1);
        info.Add(n + "_SIZE", fonts[i].size);
        info.Add(n + "_NAME", "NanumGothic.ttf");
        info.Add(n + "_INDEX", 0);
        info.Add(n + "_OUTLINE", fonts[i].outline);
        info.Add(n + "_BOLD1", fonts[i].bold1);
        info.Add(n + "_BOLD2", fonts[i].bold2);
        info.Add(n + "_GAP1", fonts[i].gap1);
        info.Add(n + "_GAP2", fonts[i].gap2);
    }
    return info.Text();
}

void AddSampleShaders(CPackageWriter& shaders) {
    shaders.Add("ZEMSKIN.FXO", SkinEffectFile());
    shaders.Add("ZEMGAUSS.FXO", GaussEffectFile());
}

int MakeSampleGameFolder(const std::string& folder) { return MakeSampleGameFolder(folder, SampleGameInfoText()); }

int MakeSampleGameFolder(const std::string& folder, const std::string& gameInfoText) {
    if (!platform::CreateFolders(folder)) return 0;

    CPackageWriter info("INFO.DRP");
    // Text entries are stored unchanged (no digest), so readers see only the text.
    info.Add("MSG.DAT", MessageFileText(SampleMessages()), false);
    info.Add("GAMEINFO.DAT", gameInfoText, false);
    info.Add("GAMETIP.DAT",
             TextListText({"Right-click the ground to move your hero.", "Press Enter to chat with everyone.",
                           "Gold comes from defeated enemies; spend it in the shop."}),
             false);
    // The tutorial plays on the sample map (its team areas, the UNIT record "Creep").
    info.Add("TUTORIAL.DAT", SampleTutorialScript("VALLEY.DRM"), false);
    info.Add("FilterWord.DAT", TextListText({"badword", "rudeword"}), false);
    info.Add("ChangeFilterWord.DAT", TextListText({"****", "****"}), false);
    CPackageWriter textures("TEXTURE.DRP");
    if (!AddSamplePlayResources(textures, info) || !AddRoomMedia(textures, info)) return 0;
    if (!AddMarketMedia(textures)) return 0;
    if (!info.WritePackage(folder + "\\DATA")) return 0;

    textures.Add("LOGO1.DDS", LogoTexture(0xC0));
    textures.Add("LOGO2.DDS", LogoTexture(0x20));
    textures.Add("LOGO1.WAV", LogoSound());
    if (!AddLoginMedia(textures) || !AddLobbyMedia(textures) || !AddCommunityMedia(textures) ||
        !AddPlayMusic(textures) || !AddMainPanelTextures(textures))
        return 0;
    if (!AddResultMedia(textures)) return 0;
    if (!AddStatusPanelTextures(textures)) return 0;
    if (!textures.WritePackage(folder + "\\DATA")) return 0;
    CPackageWriter shaders("SHADER.DRP");
    AddSampleShaders(shaders);
    if (!shaders.WritePackage(folder + "\\DATA")) return 0;
    CPackageWriter models("MODEL.DRP");
    AddSampleModel(models);
    AddPreviewModels(models);
    if (!models.WritePackage(folder + "\\DATA")) return 0;
    CPackageWriter gameData("GAMEDATA.DRP");
    if (!AddSampleGameData(gameData) || !gameData.WritePackage(folder + "\\DATA")) return 0;
    // Layouts are read as they lie in the package: no digest.
    CPackageWriter layouts("UI.DRP");
    layouts.Add("TOOLTIP.DUI", BuildLayout(TooltipLayout()), false);
    layouts.Add("MESSAGE_BOX.DUI", BuildLayout(MessageBoxLayout()), false);
    layouts.Add("ALL_CONTROLS.DUI", BuildLayout(AllControlsLayout()), false);
    layouts.Add("LOADING.DUI", BuildLayout(LoadingLayout()), false);
    if (!AddLoginLayouts(layouts) || !AddLobbyLayouts(layouts) || !AddRoomLayouts(layouts) ||
        !AddCommunityLayouts(layouts) || !AddPlayLayouts(layouts) || !AddHudLayouts(layouts) ||
        !AddMainPanelLayouts(layouts))
        return 0;
    if (!AddPlayInputLayouts(layouts)) return 0;
    if (!AddResultLayouts(layouts)) return 0;
    if (!AddMarketLayouts(layouts)) return 0;
    if (!AddStatusPanelLayouts(layouts)) return 0;
    if (!AddChatLayouts(layouts)) return 0;
    if (!AddMenuLayouts(layouts)) return 0;
    if (!AddShopLayouts(layouts)) return 0;
    if (!layouts.WritePackage(folder + "\\DATA")) return 0;
    CPackageWriter maps("MAP.DRP");
    if (!AddSampleMap(maps) || !maps.WritePackage(folder + "\\DATA")) return 0;
    if (!CPackageWriter::WriteList(folder + "\\PACKAGELIST.DRL",
                                   {&info, &textures, &shaders, &models, &gameData, &layouts, &maps}))
        return 0;

    const SampleProtocolTables protocol = MakeSampleProtocolTables();
    if (!WriteProtocolTables((folder + "\\PROTOCOL.DAT").c_str(), protocol.permutation, protocol.experience)) return 0;

    // The patch dialog's skin and its local notice page.
    if (!CBmpWriter::Write(folder + "\\PATCHLOGO.BMP", kPatchLogoWidth, kPatchLogoHeight, SamplePatchLogo())) return 0;
    if (!WriteText(folder + "\\DefaultNotice.htm", SampleNoticeText())) return 0;

    // The patcher checks for a loose message file before it starts.
    if (!WriteText(folder + "\\MSG.DAT", MessageFileText(SampleMessages()))) return 0;
    return WriteText(folder + "\\VAZE.INI", VazeIniText(kSampleLoginServer, kSampleHomepageUrl, kSampleJoinUrl)) ? 1
                                                                                                                 : 0;
}
