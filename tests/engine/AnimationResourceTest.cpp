#include "engine/render/AnimationResource.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/ErrorReport.h"
#include "tests/fixtures/ResourceFolder.h"
#include "tools/AnimationWriter.h"

using platform::Matrix;
using platform::Vec3;

namespace {

AnimationTrack MakeTrack(const std::string& name, int32_t parent, std::vector<AnimationKey> keys, uint32_t mode = 0) {
    AnimationTrack t;
    t.name = name;
    t.parent = parent;
    t.baseMatrix = platform::MatrixTranslation(1, 2, 3);
    t.mode = mode;
    t.reserved = 77;
    t.keys = std::move(keys);
    return t;
}

// keyCount 3 over 2 seconds: keys at 0, 1 and 2 seconds moving along x by 10 a key.
AnimationFile WalkClip() {
    AnimationFile f;
    f.keyCount = 3;
    f.length = 2;
    f.reserved = 5;
    f.extraCount = 2;
    f.tracks.push_back(MakeTrack(
        "Bip01", -1, {MakeAnimationKey({0, 0, 0}), MakeAnimationKey({10, 0, 0}), MakeAnimationKey({20, 0, 0})}));
    f.tracks.push_back(MakeTrack(
        "Bip01 Head", 0, {MakeAnimationKey({0, 1, 0}), MakeAnimationKey({0, 1, 0}), MakeAnimationKey({0, 1, 0})}));
    return f;
}

struct Loaded {
    ResourceFolder folder;
    CAnimationResource* anim = nullptr;

    explicit Loaded(const std::vector<uint8_t>& bytes, bool packaged = false) {
        if (packaged)
            folder.AddPackaged("A.DRA", bytes);
        else
            folder.WriteLoose("ANI\\A.DRA", bytes);
        RegisterAnimationResources(folder.Manager());
        anim = static_cast<CAnimationResource*>(folder.Manager().GetResource("A.DRA", RES_ANIMATION, nullptr, 1));
    }
    ~Loaded() { folder.Manager().ReleaseResource(anim); }
};

float X(const Matrix& m) { return m(3, 0); }

}  // namespace

TEST(AnimationResource, RoundTripsFromLooseFileAndPackage) {
    for (bool packaged : {false, true}) {
        Loaded l(WriteAnimationFile(WalkClip()), packaged);
        ASSERT_NE(l.anim, nullptr) << l.folder.report.Text();
        EXPECT_EQ(l.anim->KeyCount(), 3u);
        EXPECT_EQ(l.anim->Length(), 2.0f);
        EXPECT_EQ(l.anim->TrackCount(), 2u);
        EXPECT_EQ(l.anim->BoneTotal(), 4u);
        const AnimationTrack& head = l.anim->Track(1);
        EXPECT_EQ(head.name, "Bip01 Head");
        EXPECT_EQ(head.parent, 0);
        EXPECT_EQ(head.reserved, 77u);
        EXPECT_EQ(head.baseMatrix(3, 2), 3.0f);
        ASSERT_EQ(head.keys.size(), 3u);
        EXPECT_EQ(head.keys[2].translation.y, 1.0f);
        EXPECT_EQ(l.anim->BoneSlotTrack(CAnimationResource::BONE_HEAD), 1);
        EXPECT_EQ(l.anim->BoneSlotTrack(CAnimationResource::BONE_LEFT_HAND), -1);
    }
}

TEST(AnimationResource, BoneSlotsTakeMixedAndUpperCaseNamesAndTheFirstMatch) {
    AnimationFile f;
    f.keyCount = 1;
    f.length = 1;
    for (const char* name : {"root", "BIP01 L HAND", "Bip01 R Foot", "Bip01 L Hand", "BIP01 SPINE1"})
        f.tracks.push_back(MakeTrack(name, -1, {MakeAnimationKey({0, 0, 0})}));
    Loaded l(WriteAnimationFile(f));
    ASSERT_NE(l.anim, nullptr);
    EXPECT_EQ(l.anim->BoneSlotTrack(CAnimationResource::BONE_LEFT_HAND), 1);
    EXPECT_EQ(l.anim->BoneSlotTrack(CAnimationResource::BONE_RIGHT_FOOT), 2);
    EXPECT_EQ(l.anim->BoneSlotTrack(CAnimationResource::BONE_SPINE), 4);
    EXPECT_EQ(l.anim->BoneSlotTrack(CAnimationResource::BONE_HEAD), -1);
    EXPECT_EQ(l.anim->BoneSlotTrack(6), -1);
}

TEST(AnimationResource, SamplesBetweenKeysAndWrapsAtTheLength) {
    Loaded l(WriteAnimationFile(WalkClip()));
    ASSERT_NE(l.anim, nullptr);
    struct Case {
        float time, rootX;
    } cases[] = {
        {0.0f, 0},   {0.5f, 5},  {1.5f, 15},  // half way between keys 1 and 2
        {2.0f, 0},                            // the end is the start again
        {2.5f, 5},   {5.5f, 15},              // past the end: modulo the length
        {-0.5f, 15},                          // before the start: counted back from the end
        {NAN, 0},
    };
    for (const Case& c : cases) {
        Matrix out[2];
        l.anim->GetTrackMatrix(out, c.time, 0);
        EXPECT_NEAR(X(out[0]), c.rootX, 1e-4) << "time " << c.time;
        // The head follows its parent: its own offset plus the root's.
        EXPECT_NEAR(X(out[1]), c.rootX, 1e-4);
        EXPECT_NEAR(out[1](3, 1), 1.0f, 1e-5);
    }
}

TEST(AnimationResource, RotationIsSlerpedAndScaleCountsOnlyInModeOne) {
    AnimationFile f;
    f.keyCount = 2;
    f.length = 1;
    f.tracks.push_back(
        MakeTrack("a", -1, {MakeAnimationKey({0, 0, 0}, 0, 1), MakeAnimationKey({0, 0, 0}, 1.0f, 3)}, 1));
    f.tracks.push_back(
        MakeTrack("b", -1, {MakeAnimationKey({0, 0, 0}, 0, 1), MakeAnimationKey({0, 0, 0}, 1.0f, 3)}, 0));
    Loaded l(WriteAnimationFile(f));
    ASSERT_NE(l.anim, nullptr);
    Matrix out[2];
    l.anim->GetTrackMatrix(out, 0.5f, 0);
    Matrix expectRot = platform::MatrixRotationY(0.5f);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(out[0](r, c), expectRot(r, c) * 2.0f, 1e-4);
            EXPECT_NEAR(out[1](r, c), expectRot(r, c), 1e-4);
        }
    // Root only: track 0 alone, with its scale whatever its mode.
    f.tracks[0].mode = 0;
    Loaded root(WriteAnimationFile(f));
    ASSERT_NE(root.anim, nullptr);
    Matrix one[1];
    root.anim->GetTrackMatrix(one, 0.5f, 1);
    EXPECT_NEAR(one[0](0, 0), expectRot(0, 0) * 2.0f, 1e-4);
}

TEST(AnimationResource, OneKeyNoKeyAndNoLengthGiveTheFirstPose) {
    struct Case {
        uint32_t keyCount;
        float length;
        float expectX;
    } cases[] = {{1, 2.0f, 7}, {0, 2.0f, 0}, {3, 0.0f, 7}, {3, -1.0f, 7}};
    for (const Case& c : cases) {
        AnimationFile f;
        f.keyCount = c.keyCount;
        f.length = c.length;
        std::vector<AnimationKey> keys;
        for (uint32_t i = 0; i < c.keyCount; ++i) keys.push_back(MakeAnimationKey({7.0f + 10.0f * i, 0, 0}));
        f.tracks.push_back(MakeTrack("only", -1, keys));
        Loaded l(WriteAnimationFile(f));
        ASSERT_NE(l.anim, nullptr) << l.folder.report.Text();
        for (float t : {0.0f, 0.7f, 3.0f, -2.0f}) {
            Matrix out[1];
            l.anim->GetTrackMatrix(out, t, 0);
            EXPECT_EQ(X(out[0]), c.expectX) << c.keyCount << " keys, length " << c.length << ", time " << t;
            EXPECT_EQ(out[0](3, 3), 1.0f);
        }
    }
}

TEST(AnimationResource, ParentAtOrAfterItsChildUsesWhatTheSlotHolds) {
    AnimationFile f;
    f.keyCount = 1;
    f.length = 1;
    f.tracks.push_back(MakeTrack("self", 0, {MakeAnimationKey({1, 0, 0})}));
    f.tracks.push_back(MakeTrack("later", 2, {MakeAnimationKey({1, 0, 0})}));
    f.tracks.push_back(MakeTrack("out of range", 9, {MakeAnimationKey({1, 0, 0})}));
    Loaded l(WriteAnimationFile(f));
    ASSERT_NE(l.anim, nullptr);
    Matrix out[3];
    for (Matrix& m : out) m = platform::MatrixTranslation(100, 0, 0);
    l.anim->GetTrackMatrix(out, 0, 0);
    EXPECT_EQ(X(out[0]), 101.0f);
    EXPECT_EQ(X(out[1]), 101.0f);
    EXPECT_EQ(X(out[2]), 1.0f);
}

TEST(AnimationResource, RejectsDamagedFiles) {
    std::vector<uint8_t> good = WriteAnimationFile(WalkClip());
    // Every cut of the file is refused, never read past its end.
    for (size_t cut = 0; cut < good.size(); cut += 7) {
        Loaded l(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut)));
        EXPECT_EQ(l.anim, nullptr) << "cut at " << cut;
    }
    AnimationFile wrongVersion = WalkClip();
    wrongVersion.version = 1.14f;
    {
        Loaded l(WriteAnimationFile(wrongVersion));
        EXPECT_EQ(l.anim, nullptr);
        EXPECT_EQ(l.folder.report.GetCode(), ERR_FILE_VERSION);
        EXPECT_NE(l.folder.report.Text().find("A.DRA"), std::string::npos);
    }
    // Counts that the file cannot hold are refused before anything is made for them.
    // The last pair's track size times its track count passes 2^64.
    using Patch = std::pair<size_t, uint32_t>;
    for (const std::vector<Patch>& patches : std::vector<std::vector<Patch>>{
             {{16, 0x7FFFFFFF}}, {{4, 0x40000000}}, {{4, 0xFFFFFFFE}, {16, 0x40000000}}}) {
        std::vector<uint8_t> bytes = good;
        for (const Patch& patch : patches)
            for (int i = 0; i < 4; ++i)
                bytes[patch.first + static_cast<size_t>(i)] = static_cast<uint8_t>(patch.second >> (8 * i));
        Loaded l(bytes);
        EXPECT_EQ(l.anim, nullptr);
        EXPECT_EQ(l.folder.report.GetCode(), ERR_DATA);
    }
    AnimationFile longName = WalkClip();
    longName.tracks[0].name = std::string(300, 'n');
    Loaded l(WriteAnimationFile(longName));
    EXPECT_EQ(l.anim, nullptr);
}
