// Encodes 16-bit PCM to Ogg Vorbis with libvorbisenc, for test sounds and the
// sample game folder's music.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The Ogg pages of the encoded stream, in order (headers first). Tests drop
// or damage single pages to make broken streams. Empty on failure.
std::vector<std::vector<uint8_t>> EncodeOggPages(const std::vector<uint8_t>& pcm16, uint16_t channels, uint32_t rate,
                                                 float quality = 0.4f);

// Rewrites a page's granule position (the sample count up to its end) and its
// checksum, so that readers take the page as whole. 0 when it is no page.
int SetOggPageGranule(std::vector<uint8_t>& page, int64_t granule);

// The pages back to back: an .ogg file.
std::vector<uint8_t> EncodeOgg(const std::vector<uint8_t>& pcm16, uint16_t channels, uint32_t rate,
                               float quality = 0.4f);

// Writes it to a file (game path); 0 on failure.
int WriteOgg(const std::string& path, const std::vector<uint8_t>& pcm16, uint16_t channels, uint32_t rate,
             float quality = 0.4f);
