// fuzz_seeds <corpus folder>: writes the seeds of every target's corpus with
// the project's own writers: the sample game folder's files, the fixtures'
// files, and one input per fault that fuzzing found (kept so it never comes
// back). A seed is named by the MD5 of its bytes, so running it again adds
// only what changed.
#include <algorithm>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "net/ByteWriter.h"
#include "net/Framing.h"
#include "net/CommunityMessages.h"
#include "net/LobbyMessages.h"
#include "platform/CodePage.h"
#include "platform/GfxTypes.h"
#include "platform/Md5.h"
#include "tests/fixtures/AudioCapture.h"
#include "tests/fixtures/ModelFolder.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/fuzz/MapObjectWorld.h"
#include "tools/AnimationWriter.h"
#include "tools/DdsWriter.h"
#include "tools/LayoutWriter.h"
#include "tools/MapWriter.h"
#include "tools/SampleMap.h"
#include "tools/ModelWriter.h"
#include "tools/OggWriter.h"
#include "tools/ProtocolTablesWriter.h"
#include "tools/SampleGameFolder.h"
#include "tools/SampleTutorial.h"
#include "tools/StandardEffects.h"
#include "tools/TextFileWriters.h"
#include "screens/game/LoadingMessages.h"
#include "tools/UiLayouts.h"
#include "tests/servers/LobbyPackets.h"
#include "tests/servers/LoginPackets.h"
#include "tests/servers/RoomPackets.h"
#include "tools/WaveWriter.h"
#include "world/MapScenario.h"
#include "tests/servers/MarketPackets.h"
#include "tools/SampleCards.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string g_root;
int g_written = 0;

void Seed(const std::string& target, const Bytes& bytes) {
    uint8_t digest[16];
    platform::Md5Context ctx;
    platform::Md5Init(ctx);
    platform::Md5Update(ctx, bytes.data(), bytes.size());
    platform::Md5Final(ctx, digest);
    char name[33];
    for (int i = 0; i < 16; ++i) std::snprintf(name + 2 * i, 3, "%02x", digest[i]);
    std::filesystem::path p = std::filesystem::path(g_root) / target / name;
    std::filesystem::create_directories(p.parent_path());
    if (std::filesystem::exists(p)) return;
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ++g_written;
}

void Seed(const std::string& target, const std::string& text) { Seed(target, Bytes(text.begin(), text.end())); }

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PutU32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

// What SendFrame puts on the socket for one packet.
Bytes Framed(uint16_t id, const Bytes& payload) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return {};
    SendFrame(static_cast<int>(payload.size()), payload.data(), fds[1], id, 1000);
    ::close(fds[1]);
    Bytes out(4096);
    ssize_t n = ::recv(fds[0], out.data(), out.size(), 0);
    ::close(fds[0]);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}

void SeedSampleFolder() {
    TempFolder tmp;
    MakeSampleGameFolder(tmp.path());
    Bytes list = ReadFile(tmp.Path("PACKAGELIST.DRL"));
    Seed("PackageList", list);
    Seed("Protocol", ReadFile(tmp.Path("PROTOCOL.DAT")));
    Seed("Texts", ReadFile(tmp.Path("VAZE.INI")));
    // An empty "MSG.DAT" entry is an empty file, never the rest of its package.
    const uint32_t msg = NameHash("MSG.DAT");
    for (size_t at = 4; at + 32 <= list.size(); at += 32) {
        uint32_t hash = list[at] | list[at + 1] << 8 | list[at + 2] << 16 | static_cast<uint32_t>(list[at + 3]) << 24;
        if (hash == msg) PutU32(list, at + 24, 0);
    }
    Seed("PackageList", list);
}

void SeedResources() {
    Seed("Dds", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, 0xFF336699u, 2));
    Seed("Dds", CDdsWriter::Solid(platform::FMT_DXT1, 8, 8, 0xFF336699u));
    Seed("Dds", CDdsWriter::Solid(platform::FMT_DXT5, 4, 4, 0x80336699u));
    Seed("Effect", SkinEffectFile());
    Seed("Effect", GaussEffectFile());
    Seed("Mesh", RibbonMesh());

    Bytes anim = TwoBoneAnimation();
    Seed("Animation", anim);
    Seed("FileStream", anim);
    // Key count 0xFFFFFFFE and 2^30 tracks: their record size times the count passes 2^64.
    Bytes huge = anim;
    PutU32(huge, 4, 0xFFFFFFFEu);
    PutU32(huge, 16, 0x40000000u);
    huge.resize(24);
    Seed("Animation", huge);

    Seed("Model", WriteModelFile(SubModelFile()));
    Seed("Model", WriteModelFile(HeroModelFile()));
}

void SeedLayouts() {
    Seed("Layout", BuildLayout(AllControlsLayout()));
    Seed("Layout", BuildLayout(TooltipLayout()));
    LayoutFileSpec older = MessageBoxLayout();
    older.version = 1.07f;
    Seed("Layout", BuildLayout(older));
    // Text drawn at a position far outside any screen: the pixel position
    // is no longer a valid integer.
    LayoutFileSpec far;
    far.window.name = "FAR";
    far.window.rect[2] = far.window.rect[3] = 100;
    far.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(100), LayoutFloat(20)};
    far.children = {StaticRecord("ID_STATIC_FAR", 3e9f, -3e9f, 50, 20, "far"),
                    ButtonRecord("ID_BUTTON_FAR", 1e30f, 5, 50, 20, "far"),
                    EditBoxRecord("ID_EDIT_FAR", 5, 4e9f, 50, 20)};
    far.children[0].colour[3] = 1;
    Seed("Layout", BuildLayout(far));
}

void SeedSounds() {
    Bytes pcm = audiotest::MakePcm16(2000, 1);
    Seed("Wav", BuildWave(audiotest::Pcm16Format(1, 8000), pcm));
    Seed("Wav", BuildWave(audiotest::Pcm16Format(2, 8000), audiotest::MakePcm16(500, 2)));
    Seed("Ogg", EncodeOgg(pcm, 1, 8000));
    // The last page claims 0x7FFF0000 frames: 4 GiB that the file does not hold.
    std::vector<Bytes> pages = EncodeOggPages(pcm, 1, 8000);
    if (!pages.empty() && SetOggPageGranule(pages.back(), 0x7FFF0000)) {
        Bytes claim;
        for (const Bytes& p : pages) claim.insert(claim.end(), p.begin(), p.end());
        Seed("Ogg", claim);
    }
}

void SeedTexts() {
    Seed("Texts", MessageFileText(SampleMessages()));
    Seed("Texts", SampleGameInfoText());
    Seed("Texts", TextListText({"badword", "rudeword"}));
    Seed("TokenReader", std::string("NAME \"first\\nline\" = 3\r\n{\r\nVALUE 1 2 3\r\n}\r\nEND\r\n"));
    Seed("TokenReader", std::string("// comment\nNAME x\n\tVALUE \"unterminated\nEND\n"));
}

void SeedStreams() {
    // A stored string without its NUL, exactly as long as the first capacity read.
    Seed("FileStream", Bytes{1, 0, 0, 0, 'a', 2, 0, 0, 0, 'b', 'c'});
    Seed("FileStream", Bytes{5, 0, 0, 0, 'a', 'b', 'c', 'd', 0, 1, 2, 3, 4, 0, 0, 128, 63});
    Seed("ByteReader", Bytes{5, 0, 1, 2, 5, 4, 'h', 'i', 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    Seed("ByteReader", Bytes{3, 3, 3, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24});
    Bytes two = Framed(0x0101, Bytes{1, 2, 3, 4, 'n', 'a', 'm', 'e', 0});
    Bytes second = Framed(0x0102, Bytes(40, 7));
    two.insert(two.end(), second.begin(), second.end());
    Seed("Frame", two);
    Seed("Frame", Framed(0x0001, Bytes{}));
}


// The chat's server messages as the fake game server sends them, and typed lines.
Bytes NameField(const std::string& name, size_t field) {
    Bytes b(field, 0);
    CByteWriter(b.data(), b.size()).WriteText(name.c_str(), field);
    return b;
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// A table of n named entries of entrySize bytes (name, then a state byte).
Bytes Table(const char* prefix, int n, int capacity, size_t entrySize) {
    Bytes table;
    for (int i = 0; i < capacity; ++i) {
        Bytes entry = i < n ? NameField(prefix + std::to_string(i) + "x", entrySize) : Bytes(entrySize, 0);
        if (i < n && entrySize > 18) entry[17] = 1, entry[18] = static_cast<uint8_t>(i + 1);
        table.insert(table.end(), entry.begin(), entry.end());
    }
    return table;
}

void SeedChat() {
    const std::string hello = platform::Utf8ToCp949("안녕하세요");
    auto whisper = [](uint8_t result, char kind, const char* name, const std::string& text) {
        Bytes b = Joined({{result, static_cast<uint8_t>(kind)}, NameField(name, 17)});
        b.insert(b.end(), text.begin(), text.end());
        b.push_back(0);
        return b;
    };
    Seed("WhisperPacket", whisper(1, 'e', "abcd", hello));
    Seed("WhisperPacket", whisper(1, 'w', "wxyz", "hi there"));
    Seed("WhisperPacket", whisper(0, 0x26, "gone", ""));
    Bytes noNul = Joined({{1, 'w'}, Bytes(17, 'n'), Bytes{'t', 'a', 'i', 'l'}});
    Seed("WhisperPacket", noNul);

    // The loading exchange as the loading screen writes it.
    Bytes loading(LoadingMessage::kMaxPayload);
    const uint32_t ids[] = {0x1234u, 0x9abcdef0u};
    loading.resize(WriteLoadingHeader(loading, 3, 2, 0, ids));
    Seed("LoadingMessage", loading);
    loading.assign(LoadingMessage::kMaxPayload, 0);
    loading.resize(WriteLoadingChat(loading, 7, 0, "hello all"));
    Seed("LoadingMessage", loading);
    loading.assign(LoadingMessage::kMaxPayload, 0);
    loading.resize(WriteLoadingProgress(loading, 11, 42.5f));
    Seed("LoadingMessage", loading);

    // The first byte picks the message (see CommunityListFuzz.cpp).
    Seed("CommunityList", Joined({{0, 1, 0}, Table("frd", 3, 15, 22)}));
    Seed("CommunityList", Joined({{1, 1}, Bytes(18, 0), Table("frd", 15, 15, 22)}));
    Seed("CommunityList", Bytes{0, 0, 7});
    Seed("CommunityList", Joined({{3, 1, 0}, Table("blk", 2, 15, 17)}));
    Seed("CommunityList", Joined({{6, 1, 0}, Table("mem", 36, 36, 22)}));
    Seed("CommunityList", Joined({{7}, Bytes(21, 0), Table("mem", 2, 36, 22)}));
    Seed("CommunityList", Joined({{8}, Bytes(27, 0), NameField("mem1x", 17)}));
    Bytes guildChat = Joined({{9}, Bytes{0, 0, 0, 0, 0, 0, 4, 3, 2, 1}, NameField("sender", 34)});
    guildChat.insert(guildChat.end(), hello.begin(), hello.end());
    guildChat.push_back(0);
    Seed("CommunityList", guildChat);
    Bytes cut = Joined({{0, 1, 0}, Table("frd", 3, 15, 22)});
    cut.resize(100);
    Seed("CommunityList", cut);

    // The first byte picks the message (see CommonMessageFuzz.cpp).
    Seed("CommonMessage", Joined({{0}, Bytes(10, 0), NameField("sender", 34), NameField("hello", 6)}));
    Seed("CommonMessage", Joined({{1}, Bytes(4, 0), NameField("notice", 129)}));
    Seed("CommonMessage", Joined({{12}, NameField("friend", 17), Bytes{1, 0, 0, 0}}));
    Seed("CommonMessage", Joined({{19}, Bytes{1, 0, 77, 0, 0, 0, 1}, NameField("Clan", 17), Bytes{5, 0, 0, 0}}));
    Seed("CommonMessage", Joined({{20, 1, 0}, NameField("buddy", 17), Table("frd", 3, 15, 22)}));
    Seed("CommonMessage",
         Joined({{23, 1, 0}, NameField("acc", 51), NameField("nick", 17), Bytes{3, 0}, NameField("reason", 129)}));
    Seed("CommonMessage", Joined({{27, 1, 0}, NameField("loud", 129), NameField("spam", 129)}));
    Seed("CommonMessage",
         Bytes{16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});

    for (const char* line : {"hello all", "/ㅈ abcd 안녕하세요", "/ban xyzw 3 cheating", "/killgame 1001 x",
                             "</C=ff0000>red </C=00ff00>green", "text</C=ff", "/ㄻ abcd", "/roomcry 5 hurry"})
        Seed("ChatCommand", platform::Utf8ToCp949(line));
    Seed("ChatCommand", std::string("abc\xb0"));
}

}  // namespace

void SeedMapObjects() {
    MapObjectWorld world;
    Bytes all;
    for (const Bytes& entry : world.Entries()) {
        Seed("MapObject", entry);
        all.insert(all.end(), entry.begin(), entry.end());
    }
    Seed("MapObject", all);
}

void SeedScenario() {
    Seed("MissionScript", SampleTutorialScript("SAMPLE.ZEM"));
    Seed("MissionScript", std::string("MAPFILE m\nHERO h\nMISSION\n{\nEVENT\n{\nRUN LOOP\nCONDITION\n{\nOP OR\n"
                                      "CHECK_TIMER 1 2 IN\n}\nEXECUTE\n{\nSTOP_EVENT 9\nAGAIN_MISSION\n}\n}\n}\n"));
    CMapScenario scenario;
    CTrigger& every = *scenario.Triggers().emplace_back(std::make_unique<CTrigger>());
    every.SetName("every kind");
    for (uint32_t k = 0; k < CTriggerCondition::kKinds; ++k) every.AddCondition(CTriggerCondition::Create(k));
    for (uint32_t k = 0; k < CTriggerAction::kKinds; ++k) every.AddAction(CTriggerAction::Create(k));
    CTrigger& timer = *scenario.Triggers().emplace_back(std::make_unique<CTrigger>());
    timer.SetName("lord timer");
    timer.AddCondition(CTriggerCondition::Create(4));
    timer.AddAction(CTriggerAction::Create(0));
    CFileStream out;
    out.OpenMemoryWrite("seed");
    scenario.LoadTriggers(out);
    Seed("MapTriggers", out.Bytes());
}

void SeedMaps() {
    MapDescription d = SampleMapDescription();
    d.objects.push_back({nullptr, 0x12345678u});
    d.itemGroups = {{{1, 2}, {}}};
    d.baseItems = {3};
    Seed("MapFile", WriteMapFile(d));
    Seed("MapSide", WriteMapSideFile(d));
    MapDescription one;
    one.dataStamp = 9;
    Seed("MapFile", WriteMapFile(one));
}

// The lobby's answers; the first byte picks the reader (see LobbyMessagesFuzz.cpp).
void SeedLobby() {
    Bytes rooms(kRoomListSize, 0);
    for (int i = 0; i < 3; ++i) {
        CByteWriter w(rooms.data() + i * kRoomRecordSize, kRoomRecordSize);
        w.WriteU16(static_cast<uint16_t>(i * 7));
        w.WriteU16(static_cast<uint16_t>(i));
        w.WriteText(platform::Utf8ToCp949("초보방").c_str(), kRoomTitleField);
        w.WriteU16(3);
        w.WriteU16(8);
        w.WriteI32(1);
        w.WriteI32(i == 2 ? 40 : 100);
        w.WriteU8(static_cast<uint8_t>(i & 1));
        w.WriteU8(static_cast<uint8_t>(i == 2 ? 7 : i));
        w.WriteU8(0);
        w.WriteU8(1);
    }
    Seed("LobbyMessages", Joined({{0}, rooms}));
    Bytes users = Joined({{1, 1, 0, 0x88, 0x13}, Table("user", 30, 30, 17)});
    Seed("LobbyMessages", users);
    Bytes chat = Joined({{2}, NameField("sender", 17)});
    const std::string hello = platform::Utf8ToCp949("안녕하세요 여러분");
    chat.insert(chat.end(), hello.begin(), hello.end());
    chat.push_back(0);
    Seed("LobbyMessages", chat);
    Bytes enter(1 + kLobbyEnterResultSize, 0);
    enter[0] = 3;
    enter[1] = 1;
    enter[2] = 61;
    Seed("LobbyMessages", enter);
    Seed("LobbyMessages", Bytes{3, 1, 0, 0, 0, 0, 0, 0, 0, 0});

    // Item results; the first byte picks the id (see ItemResultsFuzz.cpp).
    for (uint8_t pick = 0; pick < 14; ++pick) {
        Bytes ok(1 + 400, 0);
        ok[0] = pick;
        ok[1] = 1;
        ok[3] = pick == 11 ? 11 : 0;  // 3054's second table
        Seed("ItemResults", ok);
    }
    Seed("ItemResults", Bytes{1, 0, 28});
    Seed("ItemResults", Bytes{10, 0, 48});
    Seed("ItemResults", Bytes{12, 0, 52});
}

void SeedMarket() {
    // A list reply with known and unknown cards and a seller that fills its field.
    MarketSearchPage search{};
    MarketOwnListings own{};
    search[0] = {"Seller", sample_cards::kJewel2, 500, 3, 1, 2, 3};
    search[1] = {std::string(17, 's'), 0xFFFFFFFFu, -1, 0, 0, 0, 0};
    own[0] = {"me", sample_cards::kHeroCard, 100, 1, 0, 0, 0};
    Seed("MarketList", MarketListPayload(2, search, own));
    Seed("MarketList", MarketListPayload(11, {}, own));
    Seed("MarketList", Bytes{1, 0, 11, 0, 0, 0});
}

void SeedRooms() {
    // The first byte picks the id, the second the own slot (see SharedRoomPacketsFuzz.cpp).
    RoomSpec room;
    room.Seat(0, "me").Seat(6, "other", true);
    const Bytes info = RoomInfoPayload(room);
    Seed("SharedRoomPackets", Joined({{0, 0}, info}));
    Seed("SharedRoomPackets", Joined({{1, 0}, SlotStatesPayload(room)}));
    Seed("SharedRoomPackets", Bytes{2, 0, 0, 0});
    Seed("SharedRoomPackets", Bytes{2, 3, 6, 0});
    Seed("SharedRoomPackets", Bytes{3, 0, 6, 0});
    Seed("SharedRoomPackets", Bytes{4, 0, 1, 0, 0x34, 0x12});
    Seed("SharedRoomPackets", Bytes{5, 0, 0, 28, 2, 0});
}

void SeedLobbyLists() {
    // The first byte picks the list (see LobbyListsFuzz.cpp).
    Seed("LobbyLists", Joined({{0}, NicknameListPayload({{"hero1", 3, 120, 7, 2}, {}, {"hero3", 250, 0, 0, 0}}, 4, 185)}));
    Seed("LobbyLists", Joined({{0}, NicknameListPayload({}, 0, 0, 0, 9)}));
    Seed("LobbyLists", Joined({{1}, ChannelListPayload({{"First", "127.0.0.1", 10, 100}, {"Full", "10.0.0.2", 65535, 10},
                                                         {"Empty", "10.0.0.3", 5, 0}})}));
    Bytes cut = Joined({{1}, ChannelListPayload({{"First", "127.0.0.1", 10, 100}})});
    cut.resize(100);
    Seed("LobbyLists", cut);
}

// The play screen's own messages: a frame of every kind of record the
// dispatcher handles, packed by the command manager as a match packs them,
// and the small messages, each behind its id byte (index into the target's list).
void SeedPlayMessages() {
    CGameCommandManager commands;
    const float clock = 12.5f;
    std::array<int32_t, CGameCommandManager::kSlots> teams{};
    commands.BeginSession(1, &clock, 0, 0, teams);
    const platform::Vec3 p{40, 0, 60};
    const int32_t ids[7] = {0, 1, 2, 3, 4, 5, 6};
    commands.BuildUnitOrder(0, 300, 3, 1, p, p, -1, -1, 1);
    commands.BuildUnitOrderQueued(0, 3, 2, 1, p, -1, 1);
    commands.BuildHeroRevive(0, 0, 1);
    commands.BuildCreateObject(1, 7, p, 300, 1);
    commands.BuildTriggerControl(1, 5381, 1);
    commands.BuildSpawnUnit(3, 0, p, 5381, 0, 20000, 1);
    commands.BuildGrantReward(1, 2, 500, 1);
    commands.BuildGrantRewardGroup(0, ids, 7, 40, 1);
    commands.BuildUiCue(1, 0, p, 0.8f, 200, 1.5f, 1);
    commands.BuildCastSkill(0, 0, -1, p, 3, 0, 1);
    commands.BuildUnitFlags(0, 1, 0x80, 1);
    commands.BuildGameEvent(10, 0, 3, 1);
    commands.BuildSkillAction(-1, 0, 0, p, 1);
    commands.BuildUseItem(0, 0, 2, 1);
    commands.BuildFollowerAction(1, 0, 0, 0, 1);
    commands.BuildRunTrigger(2, 5381, 1, 1);
    commands.BuildRestoreUnit(0, p, 1);
    commands.BuildUnitTargetList(0, ids, 6, 1, 1);
    commands.BuildUnitToArea(0, 5381, 1);
    commands.BuildSkillSlotAction(2, 0, 1, 1);
    commands.BuildSummon(1, 2, 0, p, -1, 5381, 0xFFFFFFFFu, 1);
    commands.BuildSummon(1, 2, 0, p, 3, 5381, 400, 1);
    commands.BuildUnitKilled(0, 6, 1);
    commands.BuildHpChange(2, 0, 0, 6, 35.5f, 1);
    commands.BuildPlayerEvent(1, 6, 1);
    commands.BuildPlayerEvent(0, 1, 1);
    commands.BuildGameEvent(9, 1, 6, 1);
    CommandFrame& frame = commands.Frame(0);
    frame.Seal(1, clock);
    Bytes packet{0};
    packet.insert(packet.end(), frame.Data(), frame.Data() + frame.Used());
    Seed("PlayMessage", packet);
    Seed("PlayMessage", Bytes{1, 3, 0});   // a player leaves
    Seed("PlayMessage", Bytes{2, 1, 0});   // the host slot
    Seed("PlayMessage", Bytes{3, 11, 0});  // the new host slot
    Bytes leave(74, 0);
    leave[0] = 4;
    leave[1] = 1;
    Seed("PlayMessage", leave);  // the leave answer
    {
        // Map alerts of every kind, one far beyond the packed range.
        CGameCommandManager alerts;
        alerts.BeginSession(1, &clock, 0, 0, teams);
        for (uint32_t kind = 0; kind < 4; ++kind) alerts.BuildMapAlert(static_cast<int32_t>(kind), {-40, 0, 70000}, kind, 1);
        CommandFrame& alertFrame = alerts.Frame(0);
        alertFrame.Seal(1, clock);
        Bytes alertPacket{0};
        alertPacket.insert(alertPacket.end(), alertFrame.Data(), alertFrame.Data() + alertFrame.Used());
        Seed("PlayMessage", alertPacket);
    }
}

// The result screen's messages as the fake server sends them; the first byte
// picks the id (see ResultMessageFuzz.cpp).
void SeedResultMessages() {
    auto seed = [](uint8_t id, Bytes payload) {
        payload.insert(payload.begin(), id);
        Seed("ResultMessage", payload);
    };
    Bytes result(637, 0);
    result[81] = 100;
    result[273] = 2;  // reward kind 2: the card rows follow
    result[277] = 0x41;
    seed(0, result);
    seed(1, Bytes(973, 2));
    seed(2, Bytes(60, 1));
    seed(3, Bytes{4, 0});
    seed(4, Bytes{0, 0x69, 0x10, 0, 0, 2, 7, 0x6A, 0x10, 0, 0, 4, 8});
    seed(5, Bytes{1, 7, 0});
}

// The community answers as the fake server sends them; the first byte picks
// the reader (see CommunityAnswersFuzz.cpp).
void SeedCommunityAnswers() {
    auto seed = [](uint8_t reader, const Bytes& payload) {
        Bytes bytes{reader};
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        Seed("CommunityAnswers", bytes);
    };
    seed(0, CommunityAnswer(0, -3));
    seed(1, GuildInfoPayload(1, 0, 77, 2, "Clan", 12000));
    seed(1, GuildInfoPayload(1, 0, 77, 7, "Clan", -1));
    seed(2, NameListPayload(1, {"applicant", "", "other"}));
    Bytes unterminated = NameListPayload(1, {});
    std::fill(unterminated.begin() + 2, unterminated.end(), 'x');
    seed(2, unterminated);
    seed(3, NamedListAnswer(1, 0, "master", {}));
    const Bytes data = GuildDataPayload(SampleGuildData());
    seed(4, Bytes(data.begin() + 2, data.end()));
    seed(4, Bytes(GuildDataBlock::kBytes, 'z'));
}

void SeedLocalRoom() {
    // Records of id index, length, payload (see LocalRoomFuzz.cpp; indexes in CLocalRoom::Ids order).
    Bytes make(58);
    make[0] = 'R';
    make[56] = 1;
    Seed("LocalRoom", Joined({{0, 58}, make, {8, 2, 1, 0}, {9, 6, 3, 0, 1, 0, 0, 0}, {11, 4, 0, 0, 0, 0},
                              {12, 6, 0, 0, 1, 0, 0, 0}, {14, 2, 0, 0}, {15, 3, 1, 2, 3}}));
    Bytes settings(48);
    settings[0] = 'N';
    Seed("LocalRoom", Joined({{1, 23, 1, 0}, Bytes(21), {10, 48}, settings, {6, 2, 9, 0}, {3, 2, 1, 0}}));
}

// Records of the match built by a command manager of slot 0, their bytes
// (after type and size, each after its selector byte when one is given)
// gathered into one seed run.
class CommandRecordRun {
public:
    CommandRecordRun() {
        std::array<int32_t, CGameCommandManager::kSlots> teams{};
        commands.BeginSession(0, &m_clock, 0, 0, teams);
    }
    ~CommandRecordRun() { commands.ClearQueue(); }
    void Add(CGameCommand* r) {
        if (r) run.insert(run.end(), r->Bytes() + 2, r->Bytes() + r->Size());
    }
    void Add(uint8_t selector, CGameCommand* r) {
        if (!r) return;
        run.push_back(selector);
        Add(r);
    }

    CGameCommandManager commands;
    Bytes run;

private:
    const float m_clock = 0;
};

// Item moves and slot actions of other players (see ItemMovesFuzz.cpp): a
// selector byte (even: move, odd: slot action), then the record's fields.
void SeedItemMoves() {
    CommandRecordRun r;
    r.Add(0, r.commands.BuildMoveItem(3, 0, 3, 3, 1, 1, 0, 1, 0));   // within one storage
    r.Add(0, r.commands.BuildMoveItem(4, 0, 4, 5, 1, 1, 3, 2, 0));   // to another player's storage
    r.Add(0, r.commands.BuildMoveItem(4, 0, 4, 7, 1, 0, 6, 1, 0));   // to a hero that is not there
    r.Add(1, r.commands.BuildItemSlotAction(5, {0, 1, 2, 5, 9}, 0));  // a sale
    r.Add(1, r.commands.BuildItemSlotAction(6, {0, 1, 1, 6, 0}, 0));  // a combination's removal
    Seed("ItemMoves", r.run);
}

// Chat records of the match (see PlayChatFuzz.cpp): the fields after type and
// size of CMD_CHAT records as the chat box builds them.
void SeedPlayChat() {
    CommandRecordRun r;
    r.Add(r.commands.BuildChat(1, 0, "go mid", 0xFFFF00, 0));            // a team mate to the team
    r.Add(r.commands.BuildChat(7, 1, "gg", 0xFFFFFF, 0));                // the other team to all
    r.Add(r.commands.BuildChat(7, 0, "secret", 0xFFFF00, 0));            // the other team's team line
    r.Add(r.commands.BuildChat(2, 1, "hello", 0xFFFFFF, 0));             // an operator
    r.Add(r.commands.BuildChat(3, 1, "darn", 0xFFFFFF, 0));              // a blocked player, a bad word
    r.Add(r.commands.BuildChat(200, 0, "The gate opens", 0x123456, 0));  // a system line
    Seed("PlayChat", r.run);
}

// Purchases of every kind (see BuyItemFuzz.cpp): the fields after type and size.
void SeedBuyItem() {
    CommandRecordRun r;
    const uint32_t potion = NameHash("Potion"), sword = NameHash("Sword");
    r.Add(r.commands.BuildBuyItem(0, 0xFF, 0xFFFF, 2, potion, 0));  // the local storage
    r.Add(r.commands.BuildBuyItem(3, 0xFF, 0xFFFF, 2, sword, 0));   // another player's, paid here
    r.Add(r.commands.BuildBuyItem(4, 2, 5, 3, potion, 0));          // a field unit that is not there
    r.Add(r.commands.BuildBuyItem(5, 0xFF, 7, 4, sword, 0));        // for a hero that is not there
    r.Add(r.commands.BuildBuyItem(0, 0xFF, 0xFFFF, 1, 0, 0));       // a combination that made nothing
    Seed("BuyItem", r.run);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <corpus folder>\n");
        return 2;
    }
    g_root = argv[1];
    SeedSampleFolder();
    SeedResources();
    SeedLayouts();
    SeedSounds();
    SeedTexts();
    SeedStreams();
    SeedChat();
    SeedLobby();
    SeedMapObjects();
    SeedScenario();
    SeedMaps();
    SeedLobbyLists();
    SeedRooms();
    SeedMarket();
    SeedPlayMessages();
    SeedResultMessages();
    SeedCommunityAnswers();
    SeedLocalRoom();
    SeedItemMoves();
    SeedPlayChat();
    SeedBuyItem();
    std::printf("fuzz_seeds: %d new seeds in %s\n", g_written, g_root.c_str());
    return 0;
}
