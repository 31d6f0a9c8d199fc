// Small texts of a mail: the Date header's date, the content type of a file,
// and the charset of the text part.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

// "Wed, 9 Dec 2026 13:05:07 +0530": the local time with English names and the
// offset from UTC (tm_gmtoff), as RFC 2822 writes it.
std::string MailDate(time_t when);

// The content type of a file by its extension, from /etc/mime.types;
// "application/octet-stream" for an extension that is not listed.
std::string ContentTypeForFile(std::string_view fileName);
// Tests point the lookup at their own table (empty restores /etc/mime.types).
void SetMimeTypesPath(std::string path);

// The charset of the text part. Texts are converted from code page 949 to
// UTF-8 at this edge, so it is always "utf-8".
std::string CharsetForCodePage();
