#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/sound/OggReader.h"
#include "engine/sound/SoundReader.h"
#include "engine/sound/SoundSource.h"
#include "engine/sound/WaveReader.h"
#include "tools/OggWriter.h"
#include "tools/PackageWriter.h"
#include "tools/WaveWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/fixtures/AudioCapture.h"
#include "tests/fixtures/TempFolder.h"

namespace {

struct Texts {
    CMessageTable table;
    CErrorReport report;
    Texts() {
        table.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "not found: %s");
        table.SetMsg(MSG_ERROR_NOT_OGG_FILE, "not ogg: %s");
        table.SetMsg(MSG_ERROR_NOT_WAVE_FILE, "not wave: %s");
    }
};

// Everything a reader gives, read in pieces of the given size.
std::vector<uint8_t> ReadAll(CSoundReader& r, uint32_t piece) {
    std::vector<uint8_t> out, buf(piece);
    for (int guard = 0; guard < (1 << 24) && r.RemainingBytes() > 0; ++guard) {
        uint32_t n = 0;
        EXPECT_EQ(r.Read(buf.data(), piece, &n), 1);
        out.insert(out.end(), buf.begin(), buf.begin() + n);
    }
    return out;
}

double SnrDb(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sig = 0, noise = 0;
    for (size_t i = 0; i + 1 < std::min(a.size(), b.size()); i += 2) {
        double x = static_cast<int16_t>(a[i] | (a[i + 1] << 8));
        double y = static_cast<int16_t>(b[i] | (b[i + 1] << 8));
        sig += x * x;
        noise += (x - y) * (x - y);
    }
    return 10 * std::log10(sig / std::max(noise, 1.0));
}

// A folder with the sounds loose and in a package.
struct SoundFiles {
    TempFolder tmp;
    std::vector<uint8_t> pcm = audiotest::MakePcm16(30000, 2);
    platform::AudioFormat format = audiotest::Pcm16Format(2, 22050);
    std::vector<uint8_t> wav = BuildWave(format, pcm, "LIST");
    std::vector<uint8_t> ogg = EncodeOgg(pcm, 2, 22050);
    std::string package;
    uint32_t wavOffset = 0, oggOffset = 0;

    SoundFiles() {
        tmp.Write("a.wav", std::vector<unsigned char>(wav.begin(), wav.end()));
        tmp.Write("A.OGG", std::vector<unsigned char>(ogg.begin(), ogg.end()));
        CPackageWriter writer("SOUND.DRP");
        writer.Add("pad.dat", std::string("a few bytes before the sounds"));
        writer.Add("A.WAV", wav);
        writer.Add("A.OGG", ogg);
        EXPECT_TRUE(writer.WritePackage(tmp.path()));
        package = tmp.Path("SOUND.DRP");
        wavOffset = writer.Records()[1].offset;
        oggOffset = writer.Records()[2].offset;
    }
};

}  // namespace

TEST(SoundReader, ReaderIsChosenByExtensionInAnyCase) {
    struct Case {
        const char* name;
        bool wave;
    } cases[] = {{"X.WAV", true},  {"x.wav", true}, {"x.Wav", true},      {"DATA\\a.b.wav", true},
                 {"x.ogg", false}, {"x", false},    {"x.wav.ogg", false}, {"wav", false}};
    for (const Case& c : cases) {
        auto r = CSoundReader::ForName(c.name);
        EXPECT_EQ(dynamic_cast<CWaveReader*>(r.get()) != nullptr, c.wave) << c.name;
    }
}

TEST(SoundReader, WaveFromLooseFileAndPackageGivesTheSourceBytes) {
    Texts t;
    SoundFiles f;
    struct Case {
        std::string path;
        uint32_t offset, size;
    } cases[] = {{f.tmp.Path("a.wav"), 0, 0}, {f.package, f.wavOffset, static_cast<uint32_t>(f.wav.size())}};
    for (const Case& c : cases) {
        CWaveReader r;
        platform::AudioFormat fmt;
        ASSERT_EQ(r.Open(c.path.c_str(), &fmt, c.offset, c.size), 1) << t.report.Text();
        EXPECT_EQ(fmt.channels, 2);
        EXPECT_EQ(fmt.samplesPerSec, 22050u);
        EXPECT_EQ(fmt.blockAlign, 4);
        EXPECT_EQ(r.TotalBytes(), f.pcm.size());
        EXPECT_EQ(ReadAll(r, 22050), f.pcm);  // pieces that end inside a frame
        ASSERT_EQ(r.Reset(), 1);
        EXPECT_EQ(r.RemainingBytes(), f.pcm.size());
        EXPECT_EQ(ReadAll(r, 7), f.pcm);
    }
}

TEST(SoundReader, OggFromLooseFileAndPackageGivesTheDecodedSamples) {
    Texts t;
    SoundFiles f;
    std::vector<uint8_t> direct = audiotest::DecodeOgg(f.ogg);
    ASSERT_EQ(direct.size(), f.pcm.size());
    EXPECT_GT(SnrDb(f.pcm, direct), 20.0);

    struct Case {
        std::string path;
        uint32_t offset, size;
        uint32_t piece;
    } cases[] = {{f.tmp.Path("A.OGG"), 0, 0, 22050},
                 {f.package, f.oggOffset, static_cast<uint32_t>(f.ogg.size()), 22050},
                 {f.package, f.oggOffset, static_cast<uint32_t>(f.ogg.size()), 3}};
    for (const Case& c : cases) {
        COggReader r;
        platform::AudioFormat fmt;
        ASSERT_EQ(r.Open(c.path.c_str(), &fmt, c.offset, c.size), 1) << t.report.Text();
        EXPECT_EQ(fmt.channels, 2);
        EXPECT_EQ(fmt.bitsPerSample, 16);
        EXPECT_EQ(fmt.avgBytesPerSec, 88200u);
        EXPECT_EQ(r.TotalBytes(), f.pcm.size());
        std::vector<uint8_t> got = ReadAll(r, c.piece);
        EXPECT_EQ(r.RemainingBytes(), 0u);
        EXPECT_TRUE(got == direct) << c.path << " piece " << c.piece << ": " << got.size() << " bytes";
        ASSERT_EQ(r.Reset(), 1);
        EXPECT_EQ(r.RemainingBytes(), f.pcm.size());
    }

    // A package entry is decoded from memory: the package may go once it is open.
    COggReader r;
    ASSERT_EQ(r.Open(f.package.c_str(), nullptr, f.oggOffset, static_cast<uint32_t>(f.ogg.size())), 1);
    ASSERT_TRUE(platform::DeleteFile(f.package));
    EXPECT_TRUE(ReadAll(r, 4096) == direct);
}

TEST(SoundReader, FailuresSetTheirTexts) {
    Texts t;
    SoundFiles f;
    f.tmp.Write("riff.wav", std::string("RIFX\x04\0\0\0WAVE", 12));
    f.tmp.Write("notogg.ogg", std::string("OggX and more bytes"));
    f.tmp.Write("fakeogg.ogg", std::string("OggS but nothing of a vorbis stream follows this text at all"));
    struct Case {
        bool wave;
        std::string path;
        uint32_t offset, size;
        const char* text;
    } cases[] = {
        {true, f.tmp.Path("missing.wav"), 0, 0, "not found: "},
        {false, f.tmp.Path("missing.ogg"), 0, 0, "not found: "},
        {true, f.tmp.Path("riff.wav"), 0, 0, "not wave: "},
        {true, f.tmp.Path("A.OGG"), 0, 0, "not wave: "},
        {false, f.tmp.Path("notogg.ogg"), 0, 0, "not ogg: "},
        {false, f.tmp.Path("fakeogg.ogg"), 0, 0, "not ogg: "},
        {false, f.tmp.Path("a.wav"), 0, 0, "not ogg: "},
        // A package range that runs past the package's end is never half read.
        {true, f.package, f.wavOffset, static_cast<uint32_t>(f.wav.size() + 100000), "not found: "},
        {false, f.package, f.oggOffset, 0xFFFFFF00u, "not found: "},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CSoundReader> r;
        if (c.wave) {
            r = std::make_unique<CWaveReader>();
        } else {
            r = std::make_unique<COggReader>();
        }
        t.report.Set(0, "");
        EXPECT_EQ(r->Open(c.path.c_str(), nullptr, c.offset, c.size), 0) << c.path;
        EXPECT_EQ(t.report.GetCode(), ERR_FILE_NOT_FOUND) << c.path;
        EXPECT_EQ(t.report.Text(), c.text + c.path);
    }
}

TEST(SoundReader, HostileWaveHeadersAreRefused) {
    Texts t;
    TempFolder tmp;
    platform::AudioFormat adpcm = audiotest::Pcm16Format(1, 8000);
    adpcm.formatTag = 2;
    adpcm.extra = {1, 2, 3, 4};
    std::vector<uint8_t> pcm(400, 1);
    std::vector<uint8_t> good = BuildWave(audiotest::Pcm16Format(1, 8000), pcm);
    auto put32 = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
        return b;
    };
    auto put16 = [](std::vector<uint8_t> b, size_t at, uint16_t v) {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
        return b;
    };
    // Offsets in a PCM file: 4 RIFF size, 16 fmt size, 22 channels, 32 block align, 40 data size.
    std::vector<uint8_t> withExtra = BuildWave(adpcm, pcm);  // 16 fmt size = 22, 36 extra size
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"cut in the header", std::vector<uint8_t>(good.begin(), good.begin() + 10)},
        {"RIFF larger than the file", put32(good, 4, static_cast<uint32_t>(good.size()))},
        {"RIFF size at the limit", put32(good, 4, 0xFFFFFFFFu)},
        {"fmt larger than the file", put32(good, 16, 100000)},
        {"fmt size wraps", put32(good, 16, 0xFFFFFFF8u)},
        {"fmt too short", put32(good, 16, 12)},
        {"no channels", put16(good, 22, 0)},
        {"no block align", put16(good, 32, 0)},
        {"data larger than the file", put32(good, 40, 100000)},
        {"extra bytes past their chunk", put16(withExtra, 36, 200)},
        {"no data chunk", std::vector<uint8_t>(good.begin(), good.begin() + 36)},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = c.bytes;
        if (bytes.size() >= 8 && std::string(c.what).find("RIFF") == std::string::npos) {
            bytes = put32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));  // keep the RIFF size honest
        }
        std::string path = tmp.Write("h.wav", std::vector<unsigned char>(bytes.begin(), bytes.end()));
        CWaveReader r;
        t.report.Set(0, "");
        EXPECT_EQ(r.Open(path.c_str(), nullptr, 0, 0), 0) << c.what;
        EXPECT_EQ(t.report.Text(), "not wave: " + path) << c.what;
    }

    // The same file with a sound extra chunk opens and keeps its extra bytes.
    std::string path = tmp.Write("ok.wav", std::vector<unsigned char>(withExtra.begin(), withExtra.end()));
    CWaveReader r;
    platform::AudioFormat fmt;
    ASSERT_EQ(r.Open(path.c_str(), &fmt, 0, 0), 1) << t.report.Text();
    EXPECT_EQ(fmt.extra, adpcm.extra);
    EXPECT_EQ(ReadAll(r, 64), pcm);
}

TEST(SoundReader, DamagedOggStreamsStayInBounds) {
    Texts t;
    TempFolder tmp;
    auto pcm = audiotest::MakePcm16(220500, 1);
    auto pages = EncodeOggPages(pcm, 1, 22050);
    ASSERT_GT(pages.size(), 6u);

    // A lost page in the middle is a hole: the sound goes on after it.
    std::vector<uint8_t> holed;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i != pages.size() / 2) holed.insert(holed.end(), pages[i].begin(), pages[i].end());
    }
    std::string path = tmp.Write("holed.ogg", std::vector<unsigned char>(holed.begin(), holed.end()));
    COggReader r;
    ASSERT_EQ(r.Open(path.c_str(), nullptr, 0, 0), 1) << t.report.Text();
    std::vector<uint8_t> got = ReadAll(r, 2);  // a frame at a time, so the hole meets a read's first decode
    size_t lost = pcm.size() - got.size();
    EXPECT_LT(lost, pcm.size() / 3) << "stopped at the hole after " << got.size() << " bytes";

    // Cut and scribbled streams: whatever opens reads to an end without a fault.
    std::vector<uint8_t> whole;
    for (const auto& p : pages) whole.insert(whole.end(), p.begin(), p.end());
    std::vector<std::vector<uint8_t>> damaged;
    damaged.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    damaged.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(pages[0].size() + 10));
    for (size_t step : {97u, 389u, 1021u}) {
        std::vector<uint8_t> d = whole;
        for (size_t i = 200; i < d.size(); i += step) d[i] ^= 0x5A;
        damaged.push_back(std::move(d));
    }
    for (const auto& d : damaged) {
        std::string p = tmp.Write("bad.ogg", std::vector<unsigned char>(d.begin(), d.end()));
        COggReader bad;
        if (bad.Open(p.c_str(), nullptr, 0, 0)) {
            std::vector<uint8_t> out = ReadAll(bad, 1000);
            EXPECT_LE(out.size(), static_cast<size_t>(bad.TotalBytes()) + pcm.size());
        }
    }
}

TEST(SoundReader, SourceSeeksStayInsideTheSound) {
    TempFolder tmp;
    std::string path = tmp.Write("p.bin", std::string("0123456789abcdef"));
    CSoundSource s;
    ASSERT_EQ(s.Open(path.c_str(), 4, 8), 1);
    EXPECT_TRUE(s.InMemory());
    struct Case {
        int64_t to;
        uint32_t at;
    } cases[] = {{-5, 0}, {3, 3}, {8, 8}, {100, 8}, {INT64_MIN / 2, 0}};
    for (const Case& c : cases) EXPECT_EQ(s.Seek(c.to), c.at) << c.to;
    s.Seek(6);
    char b[8] = {};
    EXPECT_EQ(s.Read(b, 8), 2u);
    EXPECT_EQ(std::string(b, 2), "ab");
    EXPECT_EQ(s.Open(path.c_str(), 10, 7), 0);
}
