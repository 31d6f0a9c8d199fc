// Fuzz target: the server's answers to the community requests. The first
// byte picks the reader (0 the result head, 1 the guild information of
// 3027/3028, 2 the ten names of 3036/3037, 3 the name of 3038 and the list
// answers, 4 the guild data block of 3035), the rest is its payload. Every
// text stays within its field and a guild state is always one the buttons know.
#include <cstddef>
#include <cstdint>

#include "net/CommunityMessages.h"

namespace {
void Check(bool ok) {
    if (!ok) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t* payload = data + 1;
    const size_t length = size - 1;
    switch (data[0] % 5) {
        case 0: {
            CommunityAnswerHead head;
            Check(ReadCommunityAnswerHead(payload, length, &head) == (length >= 2 ? 1 : 0));
            break;
        }
        case 1: {
            GuildInfoAnswer info;
            if (ReadGuildInfoAnswer(payload, length, &info)) {
                Check(info.guildName.size() < kNicknameField);
                Check(KnownGuildState(info.guildState) <= 2);
            }
            break;
        }
        case 2: {
            AnswerNames names;
            if (ReadNameListAnswer(payload, length, &names))
                for (const std::string& name : names) Check(name.size() < kNicknameField);
            break;
        }
        case 3: {
            std::string name;
            if (ReadAnswerName(payload, length, &name)) Check(name.size() < kNicknameField);
            break;
        }
        default: {
            GuildDataBlock block;
            if (ReadGuildDataBlock(payload, length, &block)) {
                Check(block.guildName.size() < kNicknameField && block.masterName.size() < kNicknameField);
                Check(block.notice.size() < GuildDataBlock::kBytes - 46);
            }
            break;
        }
    }
    return 0;
}
