#include "net/NetErrors.h"

#include <string>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "platform/Socket.h"

namespace {

struct Mapping {
    int from;
    int message;
};

constexpr Mapping kSocketErrorMessages[] = {
    {platform::SOCKERR_ADDRNOTAVAIL, MSG_ERROR_NETWORK_NOT_ADDRESS},
    {platform::SOCKERR_CONNRESET, MSG_ERROR_NETWORK_DISCONNECT},
    {platform::SOCKERR_TIMEDOUT, MSG_ERROR_NETWORK_CONNECT_TIMEOUT},
    {platform::SOCKERR_CONNREFUSED, MSG_ERROR_NETWORK_CONNECT_REFUSED},
    {platform::SOCKERR_HOSTUNREACH, MSG_ERROR_NETWORK_NOT_CABLE},
};

// Server result codes and their messages; codes not listed get the generic one.
constexpr Mapping kServerResults[] = {
    {1, 30},   {2, 31},   {3, 33},   {4, 38},   {5, 34},   {6, 39},   {7, 40},   {8, 38},   {9, 51},   {10, 52},
    {11, 134}, {12, 136}, {13, 53},  {14, 133}, {15, 157}, {16, 241}, {17, 54},  {18, 91},  {19, 92},  {20, 93},
    {21, 94},  {22, 95},  {23, 96},  {24, 97},  {25, 98},  {26, 99},  {27, 100}, {28, 101}, {29, 102}, {30, 55},
    {31, 56},  {32, 58},  {33, 59},  {35, 35},  {36, 43},  {37, 106}, {40, 155}, {46, 372}, {58, 130}, {59, 130},
    {60, 130}, {61, 130}, {62, 130}, {63, 130}, {64, 130}, {65, 132}, {66, 130}, {67, 130}, {68, 131},
};

constexpr int kResultWithOwnText = 48;

void StoreMessage(int message) {
    ErrorReport().SetError(static_cast<uint32_t>(message), "%s", GetMessageText(message));
    platform::SocketSetLastError(message);
}

// The generic message is a format taking a number and a text.
void StoreGeneric(int number, const std::string& text) {
    ErrorReport().SetError(MSG_ERROR_NETWORK_NORMAL, GetMessageText(MSG_ERROR_NETWORK_NORMAL), number, text);
    platform::SocketSetLastError(MSG_ERROR_NETWORK_NORMAL);
}

}  // namespace

int ReportNetError(int code) {
    if (code != kNetErrorFromSocket) {
        StoreMessage(code);
        return 0;
    }
    const int error = platform::SocketLastError();
    for (const Mapping& m : kSocketErrorMessages) {
        if (m.from == error) {
            StoreMessage(m.message);
            return 0;
        }
    }
    // Stored even when the system has no text, so an older message never
    // stays on screen for this failure.
    StoreGeneric(error, platform::SocketErrorText(error));
    return 0;
}

int ServerResultMessage(int resultCode) {
    if (resultCode == kResultWithOwnText) return 0;
    for (const Mapping& m : kServerResults)
        if (m.from == resultCode) return m.message;
    return -1;
}

int ReportServerResult(int resultCode) {
    const int message = ServerResultMessage(resultCode);
    if (message == 0) return 0;
    if (message < 0)
        StoreGeneric(resultCode, "");
    else
        StoreMessage(message);
    return 0;
}
