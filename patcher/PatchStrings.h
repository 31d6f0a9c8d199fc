// The patcher's string table: ids 101 to 134 in English (1033) and Korean
// (1042). Texts are code-page-949 bytes, as every text inside the programs.
#pragma once

#include <cstdint>
#include <string>

constexpr uint16_t kLanguageKorean = 1042;
constexpr uint16_t kLanguageEnglish = 1033;

// The text of a string id in the table of a language; "" for an id the table
// does not hold. Korean selects the Korean table, every other id English.
const std::string& LoadPatchString(uint16_t languageId, int id);

// The fixed sender of crash-report mails (a deployment value).
constexpr const char* kCrashReportSender = "QOR Crash Report <crash-report@brimholt.example>";
