// The "[END]"-terminated text lists: game tips and the two word-filter lists,
// one entry per line in file order.
#pragma once

#include <string>
#include <vector>

// Appends the lines of a list file (lines up to 511 bytes) until a line
// containing "[END]" or the end of the file. Empty lines are entries too: some
// lists are read by index. 1 when read; 0 with error
// 10001 and message 7 formatted with the name when it cannot be found or read.
int ReadTextList(const char* fileName, std::vector<std::string>& out);
