#include "engine/resource/ResourceManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "platform/File.h"
#include "tests/fixtures/TempFolder.h"

namespace {

// What the test resources did, in order, so that tests can check calls and their order.
struct ResourceLog {
    std::vector<std::string> events;
    int created = 0;
    int destroyed = 0;
    std::string failRestoreOf;  // a resource name whose Restore fails
};

// A resource that reads its file as text; a file whose text is "bad" fails to load.
class CTestResource : public CResource {
public:
    CTestResource(int32_t type, ResourceLog& log) : CResource(type), m_log(log) { ++m_log.created; }
    ~CTestResource() override {
        Unload();
        ++m_log.destroyed;
    }

    int Load(const char* path, int flag) override {
        m_log.events.push_back("load " + FileNamePart(std::string_view(path)) + " " + std::to_string(flag));
        std::vector<uint8_t> bytes;
        if (!platform::ReadWholeFile(path, bytes)) return 0;
        m_text.assign(bytes.begin(), bytes.end());
        if (m_text == "bad") {
            ErrorReport().SetError(ERR_DATA, "bad data in %s", path);
            return 0;
        }
        SetState(1);
        return 1;
    }
    int Restore() override {
        m_log.events.push_back("restore " + Name());
        if (Name() == m_log.failRestoreOf) return 0;
        SetState(1);
        return 1;
    }
    void Invalidate() override {
        m_log.events.push_back("invalidate " + Name());
        SetState(0);
    }

    const std::string& Text() const { return m_text; }

private:
    ResourceLog& m_log;
    std::string m_text;
};

// A game folder and a manager that indexes it, with the test resource
// registered for every type.
struct Fixture {
    TempFolder tmp;
    CErrorReport report;
    CMessageTable messages;
    ResourceLog log;

    Fixture() {
        messages.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "File not found : %s");
        tmp.Write("UI/A.DDS", "texture a");
        tmp.Write("UI/B.DDS", "texture b");
        tmp.Write("MESH/M1.DRM", "mesh one");
        tmp.Write("Ab.DDS", "first of a colliding pair");
        tmp.Write("BA.DDS", "second of a colliding pair");
        tmp.Write("BROKEN.DRC", "bad");
        tmp.Write("SOUND/HIT.WAV", "wave");
    }

    std::unique_ptr<CResourceManager> MakeManager() {
        auto manager = std::make_unique<CResourceManager>(tmp.path());
        for (int32_t type = 0; type < RES_TYPE_COUNT; ++type) {
            manager->SetFactory(type, [this, type](CUiWindow*) { return new CTestResource(type, log); });
        }
        return manager;
    }
};

TEST(ResourceManager, OneObjectPerFileNameWhateverTheFolder) {
    Fixture f;
    auto rm = f.MakeManager();
    CResource* a = rm->GetResource("A.DDS", RES_TEXTURE, nullptr, 1);
    ASSERT_NE(a, nullptr);
    CResource* again = rm->GetResource("UI\\A.DDS", RES_TEXTURE, nullptr, 1);
    EXPECT_EQ(again, a);
    EXPECT_EQ(a->RefCount(), 2);
    EXPECT_EQ(a->Name(), "A.DDS");
    EXPECT_EQ(a->NameHashValue(), NameHash("A.DDS"));
    EXPECT_EQ(f.log.created, 1);
    EXPECT_EQ(f.log.events, std::vector<std::string>{"load A.DDS 1"});

    // The same name under another type is another object.
    CResource* other = rm->GetResource("A.DDS", RES_MESH, nullptr, 0);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, a);
    EXPECT_EQ(other->Type(), RES_MESH);
    EXPECT_EQ(other->RefCount(), 1);
    EXPECT_EQ(f.log.events.back(), "load A.DDS 0");

    // Released to zero: freed and gone from the cache; a later request loads again.
    rm->ReleaseResource(a);
    EXPECT_EQ(a->RefCount(), 1);
    EXPECT_EQ(f.log.destroyed, 0);
    rm->ReleaseResource(a);
    EXPECT_EQ(f.log.destroyed, 1);
    EXPECT_EQ(rm->Cache(RES_TEXTURE)->Find("A.DDS"), nullptr);
    EXPECT_EQ(rm->Cache(RES_MESH)->Find("A.DDS"), other);
    rm->ReleaseResource(other);
    EXPECT_EQ(f.log.destroyed, 2);
}

TEST(ResourceManager, ReleasesOfObjectsNotInTheirCacheChangeNothing) {
    Fixture f;
    auto rm = f.MakeManager();
    CResource* a = rm->GetResource("A.DDS", RES_TEXTURE, nullptr, 1);
    ASSERT_NE(a, nullptr);

    CTestResource loose(RES_TEXTURE, f.log);  // never cached
    loose.SetName("A.DDS");
    CTestResource negative(-1, f.log);
    rm->ReleaseResource(nullptr);
    rm->ReleaseResource(&loose);
    rm->ReleaseResource(&negative);
    EXPECT_EQ(a->RefCount(), 1);
    EXPECT_EQ(rm->Cache(RES_TEXTURE)->Find("A.DDS"), a);
    EXPECT_EQ(f.log.destroyed, 0);
    rm->ReleaseResource(a);
}

TEST(ResourceManager, NamesThatShareAHashAreTwoEntries) {
    static_assert(NameHash(std::string_view("Ab.DDS")) == NameHash(std::string_view("BA.DDS")));
    Fixture f;
    auto rm = f.MakeManager();
    auto* first = static_cast<CTestResource*>(rm->GetResource("Ab.DDS", RES_TEXTURE, nullptr, 1));
    auto* second = static_cast<CTestResource*>(rm->GetResource("BA.DDS", RES_TEXTURE, nullptr, 1));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->Text(), "first of a colliding pair");
    EXPECT_EQ(second->Text(), "second of a colliding pair");
    EXPECT_EQ(rm->GetResource("BA.DDS", RES_TEXTURE, nullptr, 1), second);

    rm->ReleaseResource(first);
    EXPECT_EQ(rm->Cache(RES_TEXTURE)->Find("Ab.DDS"), nullptr);
    EXPECT_EQ(rm->Cache(RES_TEXTURE)->Find("BA.DDS"), second);
    rm->ReleaseResource(second);
    rm->ReleaseResource(second);
    EXPECT_EQ(rm->Cache(RES_TEXTURE)->Count(), 0u);
}

TEST(ResourceManager, FailedRequestsCacheNothing) {
    Fixture f;
    auto rm = f.MakeManager();

    // Not found anywhere: 10001 with the message table's text.
    EXPECT_EQ(rm->GetResource("NOWHERE.DDS", RES_TEXTURE, nullptr, 1), nullptr);
    EXPECT_EQ(f.report.GetCode(), ERR_FILE_NOT_FOUND);
    EXPECT_STREQ(f.report.GetText(), "File not found : NOWHERE.DDS");
    EXPECT_EQ(f.log.created, 1);
    EXPECT_EQ(f.log.destroyed, 1);

    // A failing Load keeps its own report; the object is freed and not cached,
    // so the next request reads the file again.
    EXPECT_EQ(rm->GetResource("BROKEN.DRC", RES_MODEL, nullptr, 1), nullptr);
    EXPECT_EQ(f.report.GetCode(), ERR_DATA);
    EXPECT_EQ(rm->Cache(RES_MODEL)->Count(), 0u);
    f.tmp.Write("BROKEN.DRC", "mended");
    CResource* model = rm->GetResource("BROKEN.DRC", RES_MODEL, nullptr, 1);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ((std::vector<std::string>{"load BROKEN.DRC 1", "load BROKEN.DRC 1"}), f.log.events);
    rm->ReleaseResource(model);

    // Empty names and types outside the table: null, no report, no object.
    f.report.Set(5, "untouched");
    int created = f.log.created;
    EXPECT_EQ(rm->GetResource("", RES_TEXTURE, nullptr, 1), nullptr);
    EXPECT_EQ(rm->GetResource(nullptr, RES_TEXTURE, nullptr, 1), nullptr);
    EXPECT_EQ(rm->GetResource("A.DDS", -1, nullptr, 1), nullptr);
    EXPECT_EQ(rm->GetResource("A.DDS", RES_TYPE_COUNT, nullptr, 1), nullptr);
    EXPECT_EQ(rm->CreateResource(RES_TYPE_COUNT, nullptr), nullptr);
    EXPECT_EQ(f.log.created, created);
    EXPECT_STREQ(f.report.GetText(), "untouched");

    // A type whose subsystem has not registered its factory is reported.
    rm->SetFactory(RES_LAYOUT, nullptr);
    EXPECT_EQ(rm->GetResource("A.DDS", RES_LAYOUT, nullptr, 1), nullptr);
    EXPECT_EQ(f.report.GetCode(), ERR_DATA);
}

TEST(ResourceManager, SoundIsRefusedWhileTheSoundDeviceIsOff) {
    Fixture f;
    auto rm = f.MakeManager();
    bool usable = false;
    rm->SetSoundDeviceCheck([&usable] { return usable; });
    f.report.Set(1234, "before");
    for (int32_t type : {RES_SOUND_EFFECT, RES_STREAM_SOUND}) {
        EXPECT_EQ(rm->GetResource("SOUND\\HIT.WAV", type, nullptr, 1), nullptr);
        EXPECT_EQ(f.report.GetCode(), 1234u);  // only the text changes
        EXPECT_STREQ(f.report.GetText(), "Sound load fail SOUND\\HIT.WAV\n");
    }
    EXPECT_EQ(f.log.created, 0);
    // Other types load while sound is off; sound loads once a device is there.
    CResource* tex = rm->GetResource("A.DDS", RES_TEXTURE, nullptr, 1);
    EXPECT_NE(tex, nullptr);
    usable = true;
    CResource* hit = rm->GetResource("HIT.WAV", RES_SOUND_EFFECT, nullptr, 1);
    EXPECT_NE(hit, nullptr);
    rm->ReleaseResource(tex);
    rm->ReleaseResource(hit);
}

TEST(ResourceManager, CacheInsertTakesResourcesMadeElsewhere) {
    Fixture f;
    auto rm = f.MakeManager();
    auto* made = new CTestResource(RES_TEXTURE, f.log);
    EXPECT_EQ(rm->Cache(RES_TEXTURE)->Insert(made), 0);  // no name yet
    made->SetName("MADE.DDS");
    ASSERT_EQ(rm->Cache(RES_TEXTURE)->Insert(made), 1);
    EXPECT_EQ(made->RefCount(), 1);
    auto* twin = new CTestResource(RES_TEXTURE, f.log);
    twin->SetName("MADE.DDS");
    EXPECT_EQ(rm->Cache(RES_TEXTURE)->Insert(twin), 0);  // the name is taken
    delete twin;

    // Requests find it without a file; the last release frees it.
    EXPECT_EQ(rm->GetResource("UI\\MADE.DDS", RES_TEXTURE, nullptr, 1), made);
    EXPECT_EQ(made->RefCount(), 2);
    rm->ReleaseResource(made);
    rm->ReleaseResource(made);
    EXPECT_EQ(f.log.destroyed, 2);
    EXPECT_EQ(rm->Cache(RES_TEXTURE)->Count(), 0u);
}

TEST(ResourceManager, InvalidateAndRestoreTexturesBeforeMeshes) {
    Fixture f;
    auto rm = f.MakeManager();
    CResource* mesh = rm->GetResource("M1.DRM", RES_MESH, nullptr, 1);
    CResource* b = rm->GetResource("B.DDS", RES_TEXTURE, nullptr, 1);
    CResource* a = rm->GetResource("A.DDS", RES_TEXTURE, nullptr, 1);
    CResource* model = rm->GetResource("A.DDS", RES_MODEL, nullptr, 1);
    ASSERT_TRUE(mesh && a && b && model);
    f.log.events.clear();

    rm->InvalidateAll();
    // Within a type the order is the caches' key order (the name hash).
    bool aFirst = NameHash("A.DDS") < NameHash("B.DDS");
    std::vector<std::string> textures =
        aFirst ? std::vector<std::string>{"A.DDS", "B.DDS"} : std::vector<std::string>{"B.DDS", "A.DDS"};
    std::vector<std::string> expected = {"invalidate " + textures[0], "invalidate " + textures[1], "invalidate M1.DRM"};
    EXPECT_EQ(f.log.events, expected);
    EXPECT_EQ(model->State(), 1);  // models hold no device objects of their own

    f.log.events.clear();
    ASSERT_EQ(rm->RestoreAll(), 1);
    expected = {"restore " + textures[0], "restore " + textures[1], "restore M1.DRM"};
    EXPECT_EQ(f.log.events, expected);

    // Only what lacks its device objects is restored; the first failure stops the pass.
    rm->InvalidateAll();
    f.log.failRestoreOf = textures[0];
    f.log.events.clear();
    EXPECT_EQ(rm->RestoreAll(), 0);
    EXPECT_EQ(f.log.events, std::vector<std::string>{"restore " + textures[0]});
    f.log.failRestoreOf.clear();
    f.log.events.clear();
    EXPECT_EQ(rm->RestoreAll(), 1);
    expected = {"restore " + textures[0], "restore " + textures[1], "restore M1.DRM"};
    EXPECT_EQ(f.log.events, expected);
    f.log.events.clear();
    EXPECT_EQ(rm->RestoreAll(), 1);
    EXPECT_TRUE(f.log.events.empty());

    for (CResource* r : {mesh, a, b, model}) rm->ReleaseResource(r);
}

}  // namespace
