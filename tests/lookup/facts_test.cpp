// The rules behind the description's facts, where the test zone cannot show them: each is told only
// where it holds for sure.
#include <netdb.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "lookup/facts.h"
#include "lookup/lookupreport.h"

using Names = std::vector<std::string>;

TEST(Facts, AreToldOnlyWhereTheyHoldForSure) {
    // UTS #39, by ICU: scripts named as their letters come; Han with Hiragana, and a whole script whose
    // skeleton keeps letters beyond ASCII, are ordinary; text that is no UTF-8 is told nothing.
    EXPECT_EQ(LookAlikeLetters("www.payp\u0430l.com").scripts, (Names{"Latin", "Cyrillic"}));
    for (const char* ordinary : {"\u4f8b\u3048.jp", "\u043f\u0440\u0438\u043c\u0435\u0440.\u0440\u0444", "\xd0\xb0\xff\xfepple.example"})
        EXPECT_EQ(LookAlikeLetters(ordinary).kind, LookAlike::Kind::None) << ordinary;
    EXPECT_EQ(Nat64Ipv4("64:ff9b::192.0.2.11"), "192.0.2.11");
    EXPECT_EQ(Nat64Ipv4("64:ff9b:1::c000:20b"), "192.0.2.11");
    EXPECT_EQ(Nat64Ipv4("64:ff9b:1:c000:2:b00::"), "") << "as a /48 prefix 192.0.2.11, as a /56 one 0.2.11.0";
    EXPECT_EQ(Nat64Ipv4("2001:db8::c000:20b"), "");
    EXPECT_TRUE(SameName("Printer.Corp.Example.", "printer.corp.example"));
    EXPECT_FALSE(SameName("printer", "printer.corp.example"));
    const Own some = OwnOf({"192.0.2.9", "127.0.1.1", "192.0.2.7"}, AF_INET, {"192.0.2.7"});
    EXPECT_EQ(some.addresses, (Names{"127.0.1.1", "192.0.2.7"}));
    EXPECT_TRUE(!some.all && !some.loopback);
    EXPECT_EQ(LeadsBackOf("h", "fd00:5e57::99", AF_INET6, 0, {"2001:db8::1", "fd00:5e57:0:0::99"}).state, LeadsBack::State::Yes);
    EXPECT_EQ(LeadsBackOf("h", "192.0.2.1", AF_INET, EAI_AGAIN, {}).state, LeadsBack::State::CouldNotCheck);
}
