#include "patcher/PatchStrings.h"

#include <map>

#include "platform/CodePage.h"

namespace {

struct Row {
    int id;
    const char* english;
    const char* korean;  // UTF-8 here; converted once to code page 949
};

// The crash report's mail domain (122) is empty in both tables: the domain of
// the first [INFO] MAIL recipient, so that VAZE.INI alone says where reports go.
const Row kRows[] = {
    {101, "ZEMPatch Information(&A)...", "ZEMPatch 정보(&A)..."},
    {103, "\\DefaultNotice.htm", "\\DefaultNotice.htm"},
    {105, "Initializing the patch", "패치 초기화중입니다."},
    {106, "Searching for the files", "파일 검색중입니다."},
    {107, "Download and install the set-up file", "셋업 파일을 새로 다운받아 설치하세요."},
    {108, " Downloading files..", " 파일을 다운로드중입니다."},
    {109, "Failed to bring the file", "파일을 가져오는데 실패했습니다."},
    {110, "Searching for the file information..", "파일정보를 검색중입니다."},
    {111, "Failed to find the file information", "파일정보를 검색하는데 실패했습니다."},
    {112, "Failed to initialize the socket", "소켓 초기화를 실패했습니다."},
    {113, "Connecting to the server..", "서버에 접속중입니다."},
    {114, "Unable to connect, try again later.", "잠시후에 다시 접속해 주세요."},
    {115, "No response from the server", "서버로 부터 응답이 없습니다."},
    {116, "Installation error, download again the full-version from homepage.",
     "설치 오류 입니다. 홈페이지에서 풀버전을 다시 받아주세요."},
    {117, "Checking the patch program", "패치 프로그램을 체크하는 중입니다."},
    {118, "Are you sure to cancel the patch?", "패치를 취소하시겠습니까?"},
    {119, "Patch finished", "패치 완료."},
    {120, "Reinstall after downloading a new set-up file or try again.",
     "새로 셋업파일을 받아서 설치하거나 재시도 하시기 바랍니다."},
    {122, "", ""},
    {123, "The mail is successfully sent.", "메일 전송에 성공하였습니다."},
    {124, "The mail is failed to send.", "메일 전송에 실패하였습니다."},
    {125, "Failed to connect to the mail server", "메일서버 접속에 실패하였습니다."},
    {126, " Unzipping the files", " 압축을 풀고 있습니다."},
    {127, " Failed to unzip the files", " 압축을 풀지 못했습니다."},
    {128, "The request cannot be processed.", "처리할 수 없는 요청입니다."},
    {129, "Unable to find the requested file", "요청한 파일을 찾을 수 없습니다."},
    {130, "Server cannot support this method.", "서버에서 지원하지 않는 방식입니다."},
    {131, "Unknown server error", "알 수 없는 서버 에러"},
    {132, "It exceeded the capacity of the server's process.", "서버의 처리 용량을 초과했습니다."},
    {133, "cannot support this windows version", "지원하지 않는 윈도우 버전 입니다."},
    {134, "Cannot overwrite the file.", "파일을 덮어쓰지 못했습니다."},
};

struct Tables {
    std::map<int, std::string> english;
    std::map<int, std::string> korean;
    Tables() {
        for (const Row& r : kRows) {
            english[r.id] = r.english;
            korean[r.id] = platform::Utf8ToCp949(r.korean);
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

const std::string& LoadPatchString(uint16_t languageId, int id) {
    static const std::string empty;
    const auto& table = languageId == kLanguageKorean ? TheTables().korean : TheTables().english;
    auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}
