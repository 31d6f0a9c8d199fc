#include "net/ItemResults.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/ByteReader.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetErrors.h"
#include "net/NetPacket.h"
#include "ui/ScreenHost.h"
#include "ui/UiManager.h"

namespace {

constexpr uint16_t kMarketRequest = 2054;
constexpr size_t kNone = SIZE_MAX;
constexpr size_t kFirstMarketTableAt = 6, kFirstMarketTableBytes = 246;
constexpr size_t kSecondMarketTableAt = 252, kSecondMarketTableBytes = 205;
constexpr uint8_t kRegistrationOver = 48;
constexpr uint8_t kSellOver = 52;

// Where each result keeps the inventory, the money and the second amount.
struct ItemResultLayout {
    uint16_t id;
    size_t inventoryAt, moneyAt, secondAt;
};
constexpr ItemResultLayout kLayouts[] = {
    {3019, 2, 362, 370}, {3020, 2, 362, 370}, {3021, 2, 362, 370},     {3024, 2, 362, 370},
    {3050, 2, 362, 370}, {3022, 4, 364, 372}, {3045, kNone, 362, 370}, {3049, 6, 366, 374},
    {3052, 14, 2, 10},   {3053, 2, 364, kNone}, {3055, 2, 362, kNone}, {3056, 2, kNone, kNone},
};

const ItemResultLayout* FindLayout(uint16_t id) {
    for (const ItemResultLayout& layout : kLayouts)
        if (layout.id == id) return &layout;
    return nullptr;
}

// Takes the fields only when the payload holds all of them.
bool ApplyLayout(CClientSession& session, const ItemResultLayout& layout, const NetPacket& packet) {
    const size_t size = packet.length;
    if (layout.inventoryAt != kNone && layout.inventoryAt + kInventoryBlockBytes > size) return false;
    if (layout.moneyAt != kNone && layout.moneyAt + 8 > size) return false;
    if (layout.secondAt != kNone && layout.secondAt + 4 > size) return false;
    CByteReader in = packet.Reader();
    if (layout.inventoryAt != kNone)
        ReadInventory(session.inventory, packet.payload.data() + layout.inventoryAt, size - layout.inventoryAt);
    if (layout.moneyAt != kNone && in.Seek(layout.moneyAt)) session.money = static_cast<int64_t>(in.ReadU64());
    if (layout.secondAt != kNone && in.Seek(layout.secondAt)) session.secondMoney = in.ReadU32();
    return true;
}

// A refusal: the code's text; the chat-error class stops the poll, else the
// market shows the text.
int Fail(IItemResultScreen* screen, uint8_t code, bool reported = false) {
    if (!reported) ReportServerResult(code);
    if (IsChatErrorClass(code)) return 0;
    IScreenHost* host = ScreenHost();
    if (screen && host) ShowMessageBox(host->MessageBox(), ErrorReport().GetText(), 1, 1);
    return 1;
}

int Request(IItemResultScreen* screen) { return screen ? screen->SendMarketRequest(kMarketRequest) : 1; }

}  // namespace

int HandleItemResultPackets(IItemResultScreen* screen, const NetPacket& packet) {
    CClientSession* session = g_pClientSession;
    const uint16_t id = packet.id;
    const ItemResultLayout* layout = FindLayout(id);
    if (id != PK_MARKET_ITEM_SOLD && id != 3054 && !layout) return -1;
    if (!session) return 1;
    IScreenHost* host = ScreenHost();

    if (id == PK_MARKET_ITEM_SOLD) {
        CByteReader in = packet.Reader();
        in.Seek(21);
        const int64_t money = static_cast<int64_t>(in.ReadU64());
        if (!in.Ok()) return 1;
        session->money = money;
        if (!screen) return 1;
        screen->RefreshItems(1);
        return screen->ItemWindowHidden() ? 1 : Request(screen);
    }
    if (screen) screen->ClearRequestPending();
    if (host) host->Ui().SetCursor(0);
    if (packet.length < 2) return 1;
    const bool ok = packet.payload[0] == 1;
    const uint8_t code = packet.payload[1];

    if (id == 3054) {
        if (!ok) return Fail(screen, code);
        CByteReader in = packet.Reader();
        in.Seek(2);
        const uint32_t kind = in.ReadU32();
        const bool second = kind == 11;
        const size_t at = second ? kSecondMarketTableAt : kFirstMarketTableAt;
        const size_t bytes = second ? kSecondMarketTableBytes : kFirstMarketTableBytes;
        if (!in.Ok() || at + bytes > packet.length) return 1;
        if (screen) {
            screen->StoreMarketTable(second ? 2 : 1, packet.payload.data() + at, bytes);
            screen->RefreshItems(second ? 4 : 3);
        }
        return 1;
    }
    if (id == 3055 && code == kSellOver) {
        if (host) ShowMessageBox(host->MessageBox(), GetMessageText(MSG_MARKET_SELL_OVER_ITEM), 1, 1);
        return Request(screen);
    }
    if (!ok) {
        if (id == 3053 && code == kRegistrationOver) {
            ReportServerResult(code);
            ErrorReport().SetError(ErrorReport().GetCode(), "%s",
                                   FormatText(GetMessageText(MSG_MARKET_REGISTRATION_OVER), 5).c_str());
            return Fail(screen, code, true);
        }
        return Fail(screen, code);
    }
    if (!ApplyLayout(*session, *layout, packet)) return 1;
    if (id == 3022) {
        CByteReader in = packet.Reader();
        in.Seek(2);
        session->useCardValue = in.ReadU16();
    }
    if (!screen) return 1;
    switch (id) {
    case 3045:
        screen->TakeItemList(packet.payload.data(), packet.length);
        screen->RefreshItems(1);
        return 1;
    case 3049:
        screen->RebuildItemLists(packet.payload.data(), packet.length);
        screen->RefreshItems(2);
        screen->RefreshItems(1);
        return 1;
    case 3053:
        screen->RefreshItems(1);
        screen->ResetMarketList();
        return Request(screen);
    case 3055:
    case 3056:
        screen->RefreshItems(1);
        return Request(screen);
    default:
        screen->RefreshItems(1);
        return 1;
    }
}
