#include "tools/OggWriter.h"

#include <vorbis/vorbisenc.h>

#include "platform/File.h"

namespace {

void AddPage(std::vector<std::vector<uint8_t>>& pages, const ogg_page& page) {
    std::vector<uint8_t> p(page.header, page.header + page.header_len);
    p.insert(p.end(), page.body, page.body + page.body_len);
    pages.push_back(std::move(p));
}

}  // namespace

std::vector<std::vector<uint8_t>> EncodeOggPages(const std::vector<uint8_t>& pcm16, uint16_t channels, uint32_t rate,
                                                 float quality) {
    std::vector<std::vector<uint8_t>> pages;
    if (channels == 0 || rate == 0) return pages;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, static_cast<long>(rate), quality) != 0) {
        vorbis_info_clear(&vi);
        return pages;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) AddPage(pages, page);

    const size_t frameBytes = static_cast<size_t>(channels) * 2;
    const size_t frames = pcm16.size() / frameBytes;
    size_t at = 0;
    bool eos = false;
    while (!eos) {
        size_t n = std::min<size_t>(1024, frames - at);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);  // end of the sound
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i) {
                for (uint16_t c = 0; c < channels; ++c) {
                    size_t b = (at + i) * frameBytes + c * 2u;
                    int16_t s = static_cast<int16_t>(pcm16[b] | (pcm16[b + 1] << 8));
                    buffer[c][i] = s / 32768.0f;
                }
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            at += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    AddPage(pages, page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return pages;
}

std::vector<uint8_t> EncodeOgg(const std::vector<uint8_t>& pcm16, uint16_t channels, uint32_t rate, float quality) {
    std::vector<uint8_t> out;
    for (const auto& p : EncodeOggPages(pcm16, channels, rate, quality)) out.insert(out.end(), p.begin(), p.end());
    return out;
}

int WriteOgg(const std::string& path, const std::vector<uint8_t>& pcm16, uint16_t channels, uint32_t rate,
             float quality) {
    std::vector<uint8_t> bytes = EncodeOgg(pcm16, channels, rate, quality);
    return !bytes.empty() && platform::WriteWholeFile(path, bytes.data(), bytes.size()) ? 1 : 0;
}

int SetOggPageGranule(std::vector<uint8_t>& page, int64_t granule) {
    if (page.size() < 27 || page[0] != 'O' || page[1] != 'g' || page[2] != 'g' || page[3] != 'S') return 0;
    size_t headerBytes = 27u + page[26];
    if (page.size() < headerBytes) return 0;
    for (int i = 0; i < 8; ++i) page[6 + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint64_t>(granule) >> (8 * i));
    ogg_page og;
    og.header = page.data();
    og.header_len = static_cast<long>(headerBytes);
    og.body = page.data() + headerBytes;
    og.body_len = static_cast<long>(page.size() - headerBytes);
    ogg_page_checksum_set(&og);
    return 1;
}
