// Which registration a reply answers: the four rules, in their order.
#include "replies/replymatching.h"

#include <gtest/gtest.h>

namespace {
const QDateTime kSent(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);

RegistrationState Registration(const QString& id, const QString& kind, const QString& name,
                               const QString& subject, const QString& recipient,
                               const QDateTime& when = kSent) {
    return {{when, kind, name, recipient, "<" + id + ">", subject}, ReplyStatus::Waiting, {}, {}};
}

ReplyMessage Reply(const QString& subject, const QString& from, const QStringList& lines,
                   const QDateTime& date = kSent.addSecs(600)) {
    ReplyMessage reply;
    reply.subject = subject;
    reply.fromAddress = from;
    reply.fromDomain = from.section('@', 1);
    reply.date = date;
    reply.lines = lines;
    return reply;
}

ReplyMatch Match(const std::vector<RegistrationState>& states, const ReplyMessage& reply) {
    return ReplyMatcher(states).Match(reply, ReadVerdict(reply));
}

// n lines of filler.
QStringList Filler(int n) {
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << "Number of objects found: 1";
    return lines;
}
} // namespace

TEST(ReplyMatching, QuotedIdThenThreadingInThatOrder) {
    const std::vector<RegistrationState> states{
        Registration("aa11@example.org", "domain", "a.example", "NEW", "auto-dbm@ripe.net"),
        Registration("BB22@example.org", "domain", "b.example", "NEW", "auto-dbm@ripe.net")};
    // RIPE quotes with two blanks, IRRd with one; case does not matter.
    EXPECT_EQ(Match(states, Reply("x", "a@b.c", {">  Message-ID: <aa11@example.org>"})).index, 0);
    EXPECT_EQ(Match(states, Reply("x", "a@b.c", {"> Message-ID: <bb22@EXAMPLE.org>"})).index, 1);

    // The bare id counts within the first 100 lines only; the quoted field anywhere.
    QStringList late = Filler(100) << "your message with ID <aa11@example.org> was lost";
    EXPECT_EQ(Match(states, Reply("x", "a@b.c", late)).index, -1);
    QStringList early = Filler(99) << "your message with ID <aa11@example.org> was lost";
    EXPECT_EQ(Match(states, Reply("x", "a@b.c", early)).rule, 1);
    QStringList quotedLate = Filler(300) << ">  Message-ID: <bb22@example.org>";
    EXPECT_EQ(Match(states, Reply("x", "a@b.c", quotedLate)).index, 1);

    // Threading names the other one: the quote still wins.
    ReplyMessage both = Reply("x", "a@b.c", {">  Message-ID: <aa11@example.org>"});
    both.threadIds = {"bb22@example.org"};
    EXPECT_EQ(Match(states, both).index, 0);
    ReplyMessage threaded = Reply("Re: hello", "person@elsewhere.example", {"Thanks."});
    threaded.threadIds = {"nobody@else.example", "bb22@example.org"};
    const ReplyMatch byThread = Match(states, threaded);
    EXPECT_EQ(byThread.index, 1);
    EXPECT_EQ(byThread.rule, 2);
}

TEST(ReplyMatching, TrackingNumberNamesTheNewestOpenRegistrationThenItsLaterMails) {
    std::vector<RegistrationState> states{
        Registration("1@x", "host", "ns1.example.com", "ns1.example.com Internic HOST Registration",
                     "hostmaster@internic.net", kSent),
        Registration("2@x", "domain", "ns1.example.com", "x", "hostmaster@internic.net",
                     kSent.addSecs(60)),
        Registration("3@x", "host", "ns1.example.com", "ns1.example.com Internic HOST Registration",
                     "hostmaster@internic.net", kSent.addSecs(120)),
        Registration("4@x", "host", "ns1.example.com", "ns1.example.com Internic HOST Registration",
                     "hostmaster@internic.net", kSent.addSecs(180))};
    states[3].status = ReplyStatus::Done; // the newest is settled already
    const ReplyMessage ack = Reply("NEW HOST ns1.example.com", "hostmaster@internic.net",
                                   {"Your request was assigned NIC-961209.12."});
    const ReplyMatch first = Match(states, ack);
    EXPECT_EQ(first.index, 2);
    EXPECT_EQ(first.rule, 3);

    // Kept with it, the number alone ties a later mail of any subject.
    states[2].numbers << "NIC-961209.12";
    const ReplyMatch notice = Match(
        states, Reply("Completion notice", "robot@internic.net", {"NIC-961209.12 completed."}));
    EXPECT_EQ(notice.index, 2);
    // A longer number that begins with the kept one is another number.
    EXPECT_EQ(
        Match(states, Reply("Notice", "robot@internic.net", {"NIC-961209.123 completed."})).index,
        -1);
    // A new number whose subject names no waiting registration ties nothing.
    EXPECT_EQ(
        Match(states, Reply("NEW HOST ns2.example.com", "r@internic.net", {"NIC-961209.13"})).index,
        -1);
}

TEST(ReplyMatching, SubjectFromTheRegistrysDomainWithinAWeek) {
    const QString subject = "example.com Internic DOMAIN Registration";
    std::vector<RegistrationState> states{
        Registration("1@x", "domain", "example.com", subject, "hostmaster@arin.net", kSent),
        Registration("2@x", "domain", "example.com", subject, "hostmaster@arin.net",
                     kSent.addDays(1)),
        Registration("3@x", "domain", "other.com", "NEW", "auto-dbm@ripe.net", kSent)};
    const QDateTime day2 = kSent.addDays(1).addSecs(600);

    for (const QString& form :
         {"SUCCESS: " + subject, "FAILED: " + subject, "ERROR: " + subject, "EXCEPTION: " + subject,
          "Re: " + subject, "Re: " + subject + " --APPROVED", "RE: " + subject + " --REJECTED"}) {
        const ReplyMatch m = Match(states, Reply(form, "hostmaster@arin.net", {}, day2));
        EXPECT_EQ(m.index, 1) << form.toStdString(); // the newest sent before the reply
        EXPECT_EQ(m.rule, 4);
    }
    // Before the second was sent, the first is the one answered.
    EXPECT_EQ(
        Match(states, Reply("Re: " + subject, "hostmaster@arin.net", {}, kSent.addSecs(60))).index,
        0);
    // A subdomain of the registry's mail domain is the registry; another domain is not.
    EXPECT_EQ(Match(states, Reply("SUCCESS: NEW", "unread@db.ripe.net", {})).index, 2);
    EXPECT_EQ(Match(states, Reply("SUCCESS: NEW", "unread@ripe.net.evil.example", {})).index, -1);
    // Other subjects, and answers after seven days, are left alone.
    EXPECT_EQ(Match(states, Reply("Fwd: " + subject, "hostmaster@arin.net", {}, day2)).index, -1);
    EXPECT_EQ(Match(states, Reply("SUCCESS: NEWER", "unread@ripe.net", {})).index, -1);
    EXPECT_EQ(Match(states, Reply("SUCCESS: NEW", "unread@ripe.net", {}, kSent.addDays(8))).index,
              -1);
    // Settled registrations take no further answers by subject.
    states[2].status = ReplyStatus::Refused;
    EXPECT_EQ(Match(states, Reply("SUCCESS: NEW", "unread@ripe.net", {})).index, -1);
}
