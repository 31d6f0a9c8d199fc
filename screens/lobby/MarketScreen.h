// The market: the card shop (buy, sell, delete, use, open prize cards), the
// player market (search, register a card for sale, buy, cancel a listing),
// splitting and moving stacks, and item combination. Every change is a
// request to the game server; the inventory and money shown are always the
// copy of the last reply.
//
// Phases: 0 load, 1 fade in, 2 shop mode, 3 leaving for the lobby, 4 a card
// held on the cursor, 5 leaving for my-info, 6 leaving for the waiting room,
// 7 combination, 8 market mode; 10000.. the error popup. The mode is the
// interactive phase a dropped card returns to.
#pragma once

#include <array>
#include <map>
#include <string>

#include "net/ItemResults.h"
#include "net/NetPacket.h"
#include "screens/lobby/CardTexts.h"
#include "screens/lobby/MarketRequests.h"
#include "ui/Screen.h"

class CCombineWindow;
class CImageBoxWindow;
class CMarketHeldItemWindow;
class CConnecterPopup;
class CIsolationWindow;
class CMarketSearchWindow;
class CMarketWindow;
class CResource;
class CShopWindow;

class CMarketScreen : public CScreen, public IItemResultScreen {
public:
    enum ScreenPhase {
        PHASE_LOAD,
        PHASE_FADE_IN,
        PHASE_SHOP,
        PHASE_TO_LOBBY,
        PHASE_HELD,
        PHASE_TO_MYINFO,
        PHASE_TO_ROOM,
        PHASE_COMBINE,
        PHASE_MARKET
    };
    static constexpr uint32_t kClearColor = 0xff404040u;
    static constexpr float kQuestionDelay = 0.3f;
    static constexpr int kShopPlaces = 6;
    static constexpr int kLastRow = 4;

    CMarketScreen();
    ~CMarketScreen() override;

    int Update() override;
    void Render() override;

    // The one place a request leaves: builds it from the state, sends it and
    // waits for the reply. Always 1; a failed send opens the error popup.
    int SendItemRequest(uint16_t id);
    // Fills the controls of a view: 0 shop list, 1 inventory row, 2
    // combination places, 3 search page, 4 own listings.
    void RefreshItemSlots(int view);
    // The reply of a prize card (3045) and of a combination (3049).
    void ShowPrizeResult(const uint8_t* payload, size_t size);
    void ShowItemResult(uint32_t createdId);

    // IItemResultScreen
    void ClearRequestPending() override;
    void RefreshItems(int kind) override { RefreshItemSlots(kind); }
    int SendMarketRequest(uint16_t id) override { return SendItemRequest(id); }
    bool ItemWindowHidden() const override;
    void TakeItemList(const uint8_t* payload, size_t size) override { ShowPrizeResult(payload, size); }
    void RebuildItemLists(const uint8_t* payload, size_t size) override;
    void ResetMarketList() override { m_req.ResetRegistration(); }
    void StoreMarketTable(int table, const uint8_t* bytes, size_t size) override;

    CShopWindow* Shop() const { return m_shop; }
    CMarketWindow* Market() const { return m_market; }
    CMarketSearchWindow* Search() const { return m_search; }
    CCombineWindow* Combine() const { return m_combine; }
    MarketRequestState& Requests() { return m_req; }
    int PendingId() const { return m_pendingId; }
    bool Waiting() const { return m_waiting; }
    int InventoryRow() const { return m_row; }
    bool SearchPageValid() const { return m_searchValid; }
    int OwnListings() const { return m_ownListings; }
    const std::array<uint32_t, kShopPlaces>& ShopCodes() const { return m_shopCodes; }
    // What the image box was last given to show, and whether it shows.
    const ItemResultView& LastResult() const { return m_lastResult; }
    bool ResultShown() const;
    CImageBoxWindow* ImageBox() const { return m_imageBox; }
    CMarketHeldItemWindow* HeldWindow() const { return m_heldWindow; }

private:
    int Load();
    int HandlePackets();
    void HandleInput();
    int HandleOverlayInput();
    int SendPendingRequest();
    void ScrollInventory();
    void UpdateShop();
    void UpdateHeld();
    void UpdateCombine();
    void UpdateMarket();
    int UpdateLeaving();
    void UpdateChat();
    void BeginLeave(int phase);

    void Ask(int pendingId, const std::string& question);
    void Refuse(int entry);
    void EnterMarketMode();
    void LeaveMarketMode();
    void RequestList(uint32_t kind, const std::string& name, int page);
    void PickUp(InventorySlotRef slot, uint32_t count, int fromPlace);
    void ReleaseHeld();
    void SetMode(int mode);
    void ShowResult(const ItemResultView& content);
    void CloseResult();
    void ShowMoney();
    CResource* Icon(const std::string& name) const;
    const InventorySlot* SelectedSlot() const;

    void RefreshShopList();
    void RefreshInventory();
    void RefreshCombination();
    void RefreshSearchPage();
    void RefreshOwnListings();

    CShopWindow* m_shop = nullptr;
    CCombineWindow* m_combine = nullptr;
    CIsolationWindow* m_isolation = nullptr;
    CMarketWindow* m_market = nullptr;
    CMarketSearchWindow* m_search = nullptr;
    CConnecterPopup* m_popup = nullptr;
    CImageBoxWindow* m_imageBox = nullptr;
    CMarketHeldItemWindow* m_heldWindow = nullptr;
    std::array<CResource*, 6> m_layouts{};
    CResource* m_craImage = nullptr;
    CResource* m_crapImage = nullptr;
    std::map<std::string, CResource*> m_icons;

    int m_shopPage = 0, m_shopLastPage = 0;
    std::array<uint32_t, kShopPlaces> m_shopCodes{};
    int m_row = 0;
    int m_pendingId = 0;
    float m_countdown = 0.0f;
    int m_answer = -1;  // the question's answer: -1 none yet, 1 OK, 0 Cancel
    bool m_waiting = false;
    int m_mode = PHASE_SHOP;
    int m_heldPlace = -1;  // the combination place the held card came from
    bool m_fromRoom = false;
    int m_ownListings = 0;
    bool m_searchValid = true;
    size_t m_splitLength = 0;
    MarketRequestState m_req;
    ItemResultView m_lastResult;
    NetPacket m_received;
};

CScreen* NewMarketScreen();
