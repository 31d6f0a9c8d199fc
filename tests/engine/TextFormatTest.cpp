#include "engine/core/ErrorReport.h"
#include "engine/core/TextFormat.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(TextFormat, WellFormedTextsMatchPrintf) {
    char expect[256];
    std::snprintf(expect, sizeof(expect), "%s has %d items (%5.2f%%) %x %-4s| %c %u", "bag", 12, 3.14159, 255u, "ab",
                  'Z', 7u);
    EXPECT_EQ(FormatText("%s has %d items (%5.2f%%) %x %-4s| %c %u", "bag", 12, 3.14159, 255u, "ab", 'Z', 7u), expect);
    EXPECT_EQ(FormatText("%*d|%.*f", 5, 42, 2, 1.5), "   42|1.50");
    EXPECT_EQ(FormatText("%ld %lld %I64d", 1, 2, 3), "1 2 3");
    EXPECT_EQ(FormatText("%d", -1), "-1");
    EXPECT_EQ(FormatText("%x", -1), "ffffffff");
}

TEST(TextFormat, ConversionsWithoutAFittingArgumentArePrintedLiterally) {
    struct Case {
        std::string got;
        const char* expected;
    } cases[] = {
        {FormatText("File %s not found"), "File %s not found"},
        {FormatText("%d and %s", 5), "5 and %s"},
        {FormatText("%s", 5), "%s"},                          // an int never reaches %s
        {FormatText("%d", "text"), "%d"},                     // nor a string %d
        {FormatText("wrote%n %s", "x"), "wrote%n x"},         // %n is never honoured
        {FormatText("%99999d", 1), "%99999d"},                // no unbounded widths
        {FormatText("trailing %", 1), "trailing %"},
        {FormatText("%q", 1), "%q"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(ErrorReport, DeviceFailureTextHasFourLines) {
    CErrorReport report;
    report.SetDxError(ERR_DEVICE_CALL, ".\\ZEMD3DApp.cpp", 120, static_cast<long>(0x8876086Cu));
    EXPECT_EQ(report.GetCode(), ERR_DEVICE_CALL);
    EXPECT_STREQ(report.GetText(), "File : .\\ZEMD3DApp.cpp\nLine : 120\n0x8876086C : Unknown error.");

    CErrorReport::SetDeviceErrorTextHook([](long, std::string* name, std::string* desc) {
        *name = "D3DERR_INVALIDCALL";
        *desc = "Invalid call";
    });
    report.SetDxError(ERR_DEVICE_CALL, "a.cpp", 1, 0);
    EXPECT_STREQ(report.GetText(), "File : a.cpp\nLine : 1\nD3DERR_INVALIDCALL : Invalid call");
    CErrorReport::SetDeviceErrorTextHook(nullptr);
}

TEST(ErrorReport, ChainsFromTheInnermostCauseOutward) {
    CErrorReport report;
    EXPECT_EQ(&ErrorReport(), &report);
    report.SetError(ERR_FILE_NOT_FOUND, "File not found : %s", "A.DDS");
    report.Chain("%s", "TREE.DRC");
    report.Chain("UNIT : %s", "Knight");
    EXPECT_STREQ(report.GetText(), "File not found : A.DDS\n<- TREE.DRC\n<- UNIT : Knight");
    EXPECT_EQ(report.GetCode(), ERR_FILE_NOT_FOUND);
}
