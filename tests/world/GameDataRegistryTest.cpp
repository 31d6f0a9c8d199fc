#include "world/GameDataRegistry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "tests/fixtures/ResourceFolder.h"
#include "tests/world/RecordBytes.h"
#include "tools/SampleGameData.h"
#include "world/EffectRecord.h"
#include "world/ItemData.h"
#include "world/SkillRecord.h"
#include "world/UnitData.h"

namespace {

std::vector<uint8_t> BlockBytes(CGameDataRegistry& registry) {
    CFileStream s;
    s.OpenMemoryWrite("BLOCK.DAT");
    EXPECT_EQ(registry.WriteDataBlock(s), 1);
    return s.Bytes();
}

int ReadBlock(CGameDataRegistry& registry, const std::vector<uint8_t>& bytes) {
    CFileStream s;
    s.OpenMemory(bytes, "BLOCK.DAT");
    return registry.ReadDataBlock(s);
}

std::unique_ptr<CItemData> Item(const std::string& name) {
    auto item = std::make_unique<CItemData>();
    item->name = name;
    return item;
}

size_t RecordCount(const CGameDataRegistry& r) {
    size_t n = 0;
    for (uint32_t c = 0; c < CAT_COUNT; ++c) n += r.Records(c).Size();
    return n;
}

TEST(GameDataRegistry, EmptyBlockStillReadsTheTablesAfterTheRecords) {
    CErrorReport report;
    CGameDataRegistry source(false);
    source.blockValue = 9;
    source.headerTexts[4] = "last";
    source.PreloadTable().names[89] = "LAST.WAV";
    auto combination = std::make_unique<ItemCombination>();
    combination->value = 5;
    source.AddCombination(std::move(combination));
    auto entry = std::make_unique<ItemCatalogueEntry>();
    entry->code = 12;
    entry->text4 = "x";
    source.AddCatalogueEntry(std::move(entry));
    auto text = std::make_unique<ItemTextEntry>();
    text->code = 3;
    text->values2[5] = 6;
    source.AddTextEntry(std::move(text));
    const std::vector<uint8_t> bytes = BlockBytes(source);

    CGameDataRegistry registry;
    ASSERT_EQ(ReadBlock(registry, bytes), 1) << report.Text();
    EXPECT_EQ(RecordCount(registry), 0u);
    EXPECT_EQ(registry.blockValue, 9u);
    EXPECT_EQ(registry.headerTexts[4], "last");
    EXPECT_EQ(registry.PreloadTable().names[89], "LAST.WAV");
    ASSERT_EQ(registry.Combinations().size(), 1u);
    EXPECT_EQ(registry.Combinations()[0]->value, 5u);
    ASSERT_NE(registry.FindItemRecord(1200), nullptr);
    EXPECT_EQ(registry.FindItemRecord(1200), registry.FindItemRecord(1299));
    EXPECT_EQ(registry.FindItemRecord(1300), nullptr);
    ASSERT_NE(registry.FindTextEntry(3), nullptr);
    EXPECT_EQ(registry.FindTextEntry(3)->values2[5], 6u);
    EXPECT_EQ(BlockBytes(registry), bytes);
}

TEST(GameDataRegistry, SampleBlockRoundTripsByteForByte) {
    CErrorReport report;
    const std::vector<uint8_t> bytes = SampleGameDataBlock();
    CGameDataRegistry registry;
    ASSERT_EQ(ReadBlock(registry, bytes), 1) << report.Text();
    EXPECT_EQ(BlockBytes(registry), bytes);
    EXPECT_NE(registry.FindRecord(CAT_SKILL, NameHash("Blink")), nullptr);
    EXPECT_EQ(registry.FindRecord(CAT_SKILL, NameHash("Nothing")), nullptr);
    EXPECT_EQ(registry.FindRecord(9, NameHash("Blink")), nullptr);
}

TEST(GameDataRegistry, VersionMustBeExact) {
    CErrorReport report;
    std::vector<uint8_t> bytes = SampleGameDataBlock();
    uint32_t bits;
    std::memcpy(&bits, bytes.data(), 4);
    ++bits;  // 1.5300001
    std::memcpy(bytes.data(), &bits, 4);
    CGameDataRegistry registry;
    EXPECT_EQ(ReadBlock(registry, bytes), 0);
    EXPECT_EQ(report.GetCode(), ERR_FILE_VERSION);
    EXPECT_EQ(RecordCount(registry), 0u);
}

TEST(GameDataRegistry, TheLaterOfTwoRecordsOfOneNameWins) {
    CErrorReport report;
    // The registry's writer keeps one record per name: splice the second one in by hand.
    CGameDataRegistry one(false);
    auto first = Item("Twice");
    first->itemWord6 = 1;
    one.AddRecord(std::move(first));
    auto second = Item("Twice");
    second->itemWord6 = 2;
    const std::vector<uint8_t> secondBytes = RecordBytes(*second);
    std::vector<uint8_t> bytes = BlockBytes(one);
    // The ITEM count follows the version, block value, five empty texts and three empty categories.
    const size_t countAt = 4 + 4 + 5 * 4 + 3 * 4;
    ASSERT_EQ(bytes[countAt], 1);
    bytes[countAt] = 2;
    const size_t itemEnd = countAt + 4 + RecordBytes(*one.Records(CAT_ITEM).Records()[0]).size();
    bytes.insert(bytes.begin() + static_cast<long>(itemEnd), secondBytes.begin(), secondBytes.end());

    CGameDataRegistry registry;
    ASSERT_EQ(ReadBlock(registry, bytes), 1) << report.Text();
    ASSERT_EQ(registry.Records(CAT_ITEM).Size(), 1u);
    EXPECT_EQ(static_cast<CItemData*>(registry.FindRecord(CAT_ITEM, NameHash("Twice")))->itemWord6, 2u);
}

TEST(GameDataRegistry, CombinationKeyIgnoresOrderAndSkipsMissingMembers) {
    CErrorReport report;
    CGameDataRegistry source(false);
    const std::string high = "\xB0\xA1";  // a code page 949 syllable: bytes above 0x80 sort after ASCII
    for (const std::string& name : {std::string("Apple"), high, std::string("Zed")}) source.AddRecord(Item(name));
    auto item = [&](const std::string& name) { return source.FindRecord(CAT_ITEM, NameHash(name)); };
    auto a = std::make_unique<ItemCombination>();
    a->members = {item(high), item("Apple"), item("Zed")};
    a->resultItem = item("Zed");
    a->value = 1;
    auto b = std::make_unique<ItemCombination>();
    b->members = {item("Zed"), item(high), item("Apple")};
    b->value = 2;
    source.AddCombination(std::move(a));
    source.AddCombination(std::move(b));
    std::vector<uint8_t> bytes = BlockBytes(source);

    CGameDataRegistry registry;
    ASSERT_EQ(ReadBlock(registry, bytes), 1) << report.Text();
    const uint32_t key = NameHash("AppleZed" + high);
    const ItemCombination* found = registry.FindCombination(key);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->value, 1u);  // the earlier of the two
    EXPECT_EQ(found->resultItem, registry.FindRecord(CAT_ITEM, NameHash("Zed")));
    EXPECT_EQ(found->extraItem, nullptr);

    // Without "Zed" in the ITEM map the member is left out, not kept as a null.
    CGameDataRegistry partial(false);
    partial.AddRecord(Item("Apple"));
    partial.AddRecord(Item(high));
    auto c = std::make_unique<ItemCombination>();
    c->members = {partial.FindRecord(CAT_ITEM, NameHash("Apple")), partial.FindRecord(CAT_ITEM, NameHash(high))};
    c->memberKeys = {NameHash("Apple"), NameHash("Zed"), NameHash(high)};
    partial.AddCombination(std::move(c));
    CGameDataRegistry loaded(false);
    ASSERT_EQ(ReadBlock(loaded, BlockBytes(partial)), 1);
    ASSERT_EQ(loaded.Combinations().size(), 1u);
    EXPECT_EQ(loaded.Combinations()[0]->members.size(), 2u);
    EXPECT_EQ(loaded.Combinations()[0]->key, NameHash("Apple" + high));
}

TEST(GameDataRegistry, InventorySlotsAreBounded) {
    CGameDataRegistry registry(false);
    auto entry = std::make_unique<ItemCatalogueEntry>();
    entry->code = 7;
    registry.AddCatalogueEntry(std::move(entry));
    EXPECT_EQ(registry.GetInventorySlotItem(0, 0), nullptr);  // no table
    InventoryTable table{};
    table[4][8].cardId = 750;
    registry.SetInventoryTable(&table);
    ASSERT_NE(registry.GetInventorySlotItem(4, 8), nullptr);
    EXPECT_EQ(registry.GetInventorySlotItem(4, 8)->code, 7u);
    EXPECT_EQ(registry.GetInventorySlotItem(5, 0), nullptr);
    EXPECT_EQ(registry.GetInventorySlotItem(0, 9), nullptr);
    EXPECT_EQ(registry.GetInventorySlotItem(0xFFFFFFFFu, 0), nullptr);
}

TEST(GameDataRegistry, BlockInsideAPackageAtAnOffset) {
    ResourceFolder folder;
    folder.AddPackaged("FIRST.DAT", std::vector<uint8_t>(1000, 0xEE));
    folder.AddPackaged("GAME.DAT", SampleGameDataBlock());
    folder.Manager();
    CGameDataRegistry registry;
    ASSERT_EQ(registry.LoadDataBlock("GAME.DAT"), 1) << folder.report.Text();
    EXPECT_EQ(registry.fileName, "GAME.DAT");
    EXPECT_NE(registry.FindRecord(CAT_UNIT, NameHash("Knight")), nullptr);
    EXPECT_EQ(registry.LoadDataBlock("NONE.DAT"), 0);
    // A damaged entry names the data file, not its package.
    const std::vector<uint8_t> block = SampleGameDataBlock();
    folder.WriteLoose("CUT.DAT", std::vector<uint8_t>(block.begin(), block.begin() + 100));
    folder.Manager().FileIndex().ScanFolder(".");
    EXPECT_EQ(registry.LoadDataBlock("CUT.DAT"), 0);
    EXPECT_NE(folder.report.Text().find("\n<- CUT.DAT"), std::string::npos) << folder.report.Text();
    registry.Clear();
    EXPECT_EQ(RecordCount(registry), 0u);
    EXPECT_TRUE(registry.fileName.empty());
    EXPECT_EQ(registry.PreloadTable().names[0], "HIT1.WAV");  // the preload table stays
}

TEST(GameDataRegistry, UnknownKindsFailTheLoad) {
    for (uint32_t category : {CAT_SKILL, CAT_EFFECT}) {
        CErrorReport report;
        CGameDataRegistry source(false);
        std::vector<uint8_t> bytes = BlockBytes(source);
        // Give the category one record: a kind past the last, then a few words.
        const size_t countAt = 4 + 4 + 5 * 4 + category * 4;
        bytes[countAt] = 1;
        const uint32_t kind = category == CAT_SKILL ? 9 : 24;
        std::vector<uint8_t> record = {static_cast<uint8_t>(kind), 0, 0, 0};
        record.resize(200, 0);
        bytes.insert(bytes.begin() + static_cast<long>(countAt + 4), record.begin(), record.end());
        CGameDataRegistry registry;
        EXPECT_EQ(ReadBlock(registry, bytes), 0) << kind;
        EXPECT_EQ(report.GetCode(), ERR_DATA) << kind;
        EXPECT_NE(report.Text().find(CategoryLabel(category)), std::string::npos) << report.Text();
    }
}

TEST(GameDataRegistry, EveryCutOfABlockFailsAndLeavesEarlierRecords) {
    CErrorReport report;
    const std::vector<uint8_t> bytes = SampleGameDataBlock();
    CGameDataRegistry registry;
    auto kept = Item("Kept");
    registry.AddRecord(std::move(kept));
    for (size_t n = 0; n < bytes.size(); n += (n < 400 ? 1 : 7)) {
        EXPECT_EQ(ReadBlock(registry, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n))), 0)
            << n;
        ASSERT_EQ(RecordCount(registry), 1u) << n;
    }
    EXPECT_EQ(report.GetCode(), ERR_DATA);
    EXPECT_NE(report.Text().find("BLOCK.DAT"), std::string::npos) << report.Text();
}

TEST(GameDataRegistry, IsNamedByUnitAndCreateRecord) {
    CGameDataRegistry registry(false);
    auto unit = std::make_unique<CUnitData>();
    unit->name = "Hero";
    unit->unitText2 = "Blink";
    registry.AddRecord(std::move(unit));
    auto skill = CreateSkillRecord(7);
    skill->name = "Blink";
    registry.AddRecord(std::move(skill));
    EXPECT_EQ(registry.IsNamedByUnit(registry.FindRecord(CAT_SKILL, NameHash("Blink"))), 1);
    EXPECT_EQ(registry.IsNamedByUnit(registry.FindRecord(CAT_UNIT, NameHash("Hero"))), 0);
    EXPECT_EQ(CGameDataRegistry::CreateRecord(CAT_SKILL, 9), nullptr);
    EXPECT_EQ(CGameDataRegistry::CreateRecord(6, 0), nullptr);
    EXPECT_NE(dynamic_cast<CEffectRecordWithChildren*>(CGameDataRegistry::CreateRecord(CAT_EFFECT, 12).get()), nullptr);
    EXPECT_EQ(dynamic_cast<CEffectRecordWithChildren*>(CGameDataRegistry::CreateRecord(CAT_EFFECT, 13).get()), nullptr);
}

}  // namespace
