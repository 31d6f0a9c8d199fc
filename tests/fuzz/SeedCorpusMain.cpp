// fuzz_seeds <corpus folder>: writes the seeds of every target's corpus with
// the project's own writers: the sample game folder's files, the fixtures'
// files, and one input per fault that fuzzing found (kept so it never comes
// back). A seed is named by the MD5 of its bytes, so running it again adds
// only what changed.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/NameHash.h"
#include "net/Framing.h"
#include "platform/GfxTypes.h"
#include "platform/Md5.h"
#include "tests/fixtures/AudioCapture.h"
#include "tests/fixtures/ModelFolder.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/AnimationWriter.h"
#include "tools/DdsWriter.h"
#include "tools/LayoutWriter.h"
#include "tools/ModelWriter.h"
#include "tools/OggWriter.h"
#include "tools/ProtocolTablesWriter.h"
#include "tools/SampleGameFolder.h"
#include "tools/StandardEffects.h"
#include "tools/TextFileWriters.h"
#include "tools/UiLayouts.h"
#include "tools/WaveWriter.h"

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

}  // namespace

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
    std::printf("fuzz_seeds: %d new seeds in %s\n", g_written, g_root.c_str());
    return 0;
}
