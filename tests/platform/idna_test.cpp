// One conversion of international names for every path: the full stops UTS #46 knows, the
// host-name rules that the library would satisfy by deleting characters, empty labels, and the
// WHOIS query's words.
#include "platform/idna.h"

#include <gtest/gtest.h>

namespace {
QString Converted(const QString& name) {
    const Result<QString> ascii = NameToAscii(name);
    return ascii ? ascii.Value() : "refused: " + ascii.Error();
}
} // namespace

TEST(InternationalNames, EveryFullStopSeparatesLabelsAndOnlyUts46sOwnMappingChangesACharacter) {
    // Ideographic, full-width and half-width full stops, as input methods type them.
    EXPECT_EQ(Converted(QString("日本語。ｊｐ")), "xn--wgv71a119e.jp");
    EXPECT_EQ(Converted(QString("日本語．ｊｐ")), "xn--wgv71a119e.jp");
    EXPECT_EQ(Converted(QString("日本語｡jp")), "xn--wgv71a119e.jp");
    // The mapping: case, compatibility forms, and a soft hyphen that UTS #46 ignores.
    EXPECT_EQ(Converted(QString("BÜ\u00ADCHER.Example")), "xn--bcher-kva.example");
    EXPECT_EQ(Converted(QString("faß.de")), "xn--fa-hia.de");
    // A final full stop is the root and stays.
    EXPECT_EQ(Converted(QString("bücher.example.")), "xn--bcher-kva.example.");

    // Characters the host-name rules forbid are refused, never deleted: each of these came out
    // as another name.
    EXPECT_EQ(Converted(QString("bücher_shop.example")),
              "refused: the character \"_\" is not allowed in a name");
    EXPECT_EQ(Converted(QString("exa＞mple.com")),
              "refused: the character \">\" is not allowed in a name");
    EXPECT_EQ(Converted(QString("羚.≯")), "xn--xt0a.xn--hdh");
    // The library turns the capital sharp s into "ss" (another domain than "faß.de", which UTS #46
    // makes of it) and reports success: the code points tell.
    EXPECT_EQ(Converted(QString("FAẞ.de")),
              "refused: converting it would change or drop some of its characters");
    // Empty labels, whichever full stop makes them.
    for (const QString& name :
         {QString("a..b"), QString("."), QString("bücher。。example"), QString(".bücher")})
        EXPECT_EQ(Converted(name), "refused: it has an empty label") << name.toStdString();
    EXPECT_EQ(Converted(""), "refused: the name is empty");
}

TEST(InternationalNames, AsciiNamesKeepTheSameRulesWithoutTheLibrary) {
    EXPECT_EQ(Converted("Example.COM"), "example.com");
    EXPECT_EQ(Converted("xn--bcher-kva.example"), "xn--bcher-kva.example");
    EXPECT_EQ(Converted("-a.com"), "refused: a label starts or ends with a hyphen");
    EXPECT_EQ(Converted("ab--c.com"),
              "refused: a label has hyphens in its third and fourth places");
    EXPECT_EQ(Converted(QString(64, 'a') + ".com"),
              "refused: a label is longer than 63 characters");
    EXPECT_EQ(Converted((QString(62, 'a') + ".").repeated(4) + "com"),
              "refused: the name is longer than 253 characters");
    // An A-label that decodes to a name UTS #46 refuses (a joiner out of context).
    EXPECT_TRUE(Converted("xn--ab-m1t").startsWith("refused: "))
        << Converted("xn--ab-m1t").toStdString();
    // Right-to-left text beside a label that starts with a digit breaks the Bidi rule.
    EXPECT_EQ(Converted(QString("0a.\u05D0")),
              "refused: it mixes right-to-left and left-to-right text in a way that can read as "
              "another name");
}

TEST(InternationalNames, AWhoisQueryConvertsItsNamesAndLeavesEverythingElseAsTyped) {
    struct Case {
        QString typed, sent;
    } cases[] = {
        {QString("domain bücher.com"), "domain xn--bcher-kva.com"},
        {QString("=bücher.com"), "=xn--bcher-kva.com"},
        {QString("日本語。ｊｐ"), "xn--wgv71a119e.jp"},
        {QString("jane@bücher.example"), "jane@xn--bcher-kva.example"},
        {"Example.COM", "Example.COM"},
        {"2001:db8::1", "2001:db8::1"},
        {"192.0.2.0/24", "192.0.2.0/24"},
        {"-i mnt-by NET-192-0-2-0-1", "-i mnt-by NET-192-0-2-0-1"},
    };
    for (const Case& c : cases) {
        QString problem;
        EXPECT_EQ(QueryForWire(c.typed, &problem).value_or("refused: " + problem), c.sent);
    }
    for (const auto& [typed, told] : std::initializer_list<std::pair<QString, QString>>{
             {QString("hostmaster@exa＞mple.com"),
              QString("exa＞mple.com is not a valid international name: the character \">\" is "
                      "not allowed in a name.")},
             {"domain a..b", "a..b is not a valid international name: it has an empty label."},
             {"xn--ab-m1t", ""}}) {
        QString problem;
        EXPECT_FALSE(QueryForWire(typed, &problem).has_value()) << typed.toStdString();
        if (!told.isEmpty()) {
            EXPECT_EQ(problem, told);
        }
    }
}
