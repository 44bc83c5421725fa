// Lookup records, the two tables and the request counter.
#include <gtest/gtest.h>

#include "lookup/lookuptables.h"

namespace {

LookupRequest Request(std::uint32_t id, const char* query, std::vector<CString> answers = {}) {
    LookupRequest request;
    request.requestId = id;
    request.query = query;
    request.answers = std::move(answers);
    return request;
}

}  // namespace

TEST(LookupRequest, CopiesAreDeepAndIndependent) {
    LookupRequest original = Request(3, "example", {"192.0.2.1", "192.0.2.2"});
    LookupRequest copy = original;
    original.answers[0] = "changed";
    original.query = "other";
    EXPECT_EQ(copy.code, 6);
    EXPECT_EQ(copy.requestId, 3u);
    EXPECT_EQ(copy.answers, (std::vector<CString>{"192.0.2.1", "192.0.2.2"}));
    EXPECT_STREQ(copy.query, "example");
}

TEST(PendingRequests, InsertsOnlyIfAbsentFindsAndErases) {
    PendingRequests pending;
    EXPECT_TRUE(pending.InsertIfAbsent(Request(1, "first")));
    EXPECT_FALSE(pending.InsertIfAbsent(Request(1, "second")));
    ASSERT_NE(pending.Find(1), nullptr);
    EXPECT_STREQ(pending.Find(1)->request.query, "first");
    EXPECT_EQ(pending.Find(2), nullptr);
    pending.Erase(1);
    EXPECT_EQ(pending.Find(1), nullptr);
    EXPECT_FALSE(pending.Contains(1));
}

TEST(PendingRequests, AStoredRecordKeepsItsAddressWhileOthersComeAndGo) {
    PendingRequests pending;
    pending.InsertIfAbsent(Request(5000, "lent"));
    LookupRequest* lent = &pending.Find(5000)->request;
    lent->answers.emplace_back("being written");
    for (std::uint32_t id = 1; id <= 10000; ++id) {
        if (id == 5000)
            continue;
        pending.InsertIfAbsent(Request(id, "other"));
        if (id % 3 == 0)
            pending.Erase(id);
    }
    EXPECT_EQ(&pending.Find(5000)->request, lent);
    EXPECT_EQ(lent->answers, std::vector<CString>{"being written"});
}

TEST(AnswerCache, KeysAreExactBytesAndTheFirstEntryStays) {
    AnswerCache cache;
    EXPECT_TRUE(cache.InsertIfAbsent(Request(1, "Example", {"1"})));
    EXPECT_TRUE(cache.InsertIfAbsent(Request(2, "example", {"2"})));
    EXPECT_TRUE(cache.InsertIfAbsent(Request(3, "example ", {"3"})));
    EXPECT_TRUE(cache.InsertIfAbsent(Request(4, "", {"4"})));
    EXPECT_FALSE(cache.InsertIfAbsent(Request(5, "example", {"5"})));
    EXPECT_EQ(cache.Find("example")->request.answers, std::vector<CString>{"2"});
    EXPECT_EQ(cache.Find("Example")->request.answers, std::vector<CString>{"1"});
    EXPECT_EQ(cache.Find("example ")->request.answers, std::vector<CString>{"3"});
    EXPECT_EQ(cache.Find("")->request.answers, std::vector<CString>{"4"});
    EXPECT_EQ(cache.Find("exampl"), nullptr);
}

// After a wrap of the request ids, the same id may come back for another text, and the same text may
// have been asked twice at once: a later part lands only on the lookup it belongs to.
TEST(AnswerCache, ALaterPartIsKeptOnlyByTheLookupItBelongsTo) {
    AnswerCache cache;
    cache.InsertIfAbsent(Request(7, "kept"));
    const Ipv6Answer answer{Ipv6Answer::State::Addresses, {"2001:db8::1"}};
    EXPECT_FALSE(cache.ApplyLater(7, {"another text", answer}));
    EXPECT_FALSE(cache.ApplyLater(8, {"kept", answer}));
    EXPECT_EQ(cache.Find("kept")->report.ipv6.state, Ipv6Answer::State::NoQuestion);
    EXPECT_TRUE(cache.ApplyLater(7, {"kept", answer}));
    EXPECT_EQ(cache.Find("kept")->report.ipv6.addresses, std::vector<std::string>{"2001:db8::1"});
}

TEST(QueryOrder, ComparesUnsignedBytesShorterFirst) {
    const QueryOrder less;
    struct Case {
        const char* name;
        std::string a, b;
    };
    const Case ordered[] = {
        {"empty_first", "", "a"},
        {"prefix_first", "ab", "abc"},
        {"upper_before_lower", "B", "a"},
        {"high_bytes_after_ascii", "z", "\x80"},
        {"first_difference_decides", "ab\xff", "ac"},
    };
    for (const Case& each : ordered) {
        EXPECT_TRUE(less(CString(each.a), CString(each.b))) << each.name;
        EXPECT_FALSE(less(CString(each.b), CString(each.a))) << each.name;
    }
    EXPECT_FALSE(less(CString("same"), CString("same")));
}

TEST(RequestIds, StartAtOneAndSkipZeroAndPendingIdsAfterAWrap) {
    PendingRequests pending;
    g_lastRequestId = 0;
    EXPECT_EQ(NextRequestId(pending), 1u);
    EXPECT_EQ(NextRequestId(pending), 2u);

    pending.InsertIfAbsent(Request(0xFFFFFFFF, "old"));
    pending.InsertIfAbsent(Request(1, "old"));
    g_lastRequestId = 0xFFFFFFFD;
    EXPECT_EQ(NextRequestId(pending), 0xFFFFFFFEu);
    EXPECT_EQ(NextRequestId(pending), 2u) << "skips the pending 0xFFFFFFFF, 0 and the pending 1";
    g_lastRequestId = 0;
}
