// The files a patch server publishes for one version of a game folder: every
// file under its own path below the root path, packages (".DRP", exact case)
// zlib-compressed as "<name>.DRZ", and "FILELIST.DAT" naming them all with the
// level. Any HTTP or FTP server that serves the folder is a patch server.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes the server folder for the game folder; 1 on success, 0 when a file
// could not be read or written.
int MakePatchServerFolder(const std::string& game, const std::string& server, const std::string& rootPath,
                          uint32_t level);

// A package as the server stores it: zlib's format, best compression.
std::vector<uint8_t> CompressDrz(const std::vector<uint8_t>& bytes);
