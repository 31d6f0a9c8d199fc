#include "patcher/mail/AddressList.h"

#include <gtest/gtest.h>

TEST(AddressList, ParsesListsAsWritten) {
    struct Row {
        const char* text;
        std::vector<std::string> entries;
        std::string envelope;
    } rows[] = {
        {"a@x", {"a@x"}, "a@x"},
        {" a@x , b@y;c@z ", {"a@x", "b@y", "c@z"}, "a@x,b@y,c@z"},
        {"a@x b@y", {"a@x", "b@y"}, "a@x,b@y"},
        {"QOR Team <team@qor.test>", {"QOR Team <team@qor.test>"}, "team@qor.test"},
        {"\"Kim, J.\" <kim@x>, lee@y", {"\"Kim, J.\" <kim@x>", "lee@y"}, "kim@x,lee@y"},
        {"\"a \\\" <b@c>, d\" <e@f>", {"\"a \\\" <b@c>, d\" <e@f>"}, "e@f"},
        {"<odd,name@x>", {"<odd,name@x>"}, "odd,name@x"},
        {"=?utf-8?Q?<fake@x>?= <real@x>", {"=?utf-8?Q?<fake@x>?= <real@x>"}, "real@x"},
        {",, ;", {}, ""},
        {"\"unclosed <a@x>", {"\"unclosed <a@x>"}, "\"unclosed <a@x>"},
        {"<a@x", {"<a@x"}, "a@x"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ParseAddressList(r.text), r.entries) << r.text;
        EXPECT_EQ(ExtractEnvelopeAddresses(r.text), r.envelope) << r.text;
    }
}
