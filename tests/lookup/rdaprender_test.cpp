// An RDAP answer's text cannot forge lines: a line break in a value continues on an indented
// line, and control characters become blanks.
#include "lookup/rdaprender.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

TEST(RdapRender, LineBreaksAndControlCharactersInValuesCannotForgeLines) {
    const QJsonObject answer = QJsonDocument::fromJson(R"({
        "objectClassName": "domain",
        "ldhName": "EXAMPLE.COM\r\nRegistrar: Forged Registrar",
        "entities": [{"roles": ["registrar"],
                      "vcardArray": ["vcard", [["fn", {}, "text", "Real\u0000Name\u0007"]]]}],
        "notices": [{"title": "Terms", "description": ["one\nRegistrar: also forged"]}]
    })")
                                   .object();
    const QStringList lines = RenderRdap(answer);
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains('\n') || line.contains('\r')) << line.toStdString();
        for (QChar c : line)
            EXPECT_NE(c.category(), QChar::Other_Control) << line.toStdString();
    }
    EXPECT_TRUE(lines.contains("  Registrar: Forged Registrar")) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains("  Registrar: also forged")) << lines.join('|').toStdString();
    EXPECT_FALSE(lines.contains("Registrar: Forged Registrar"));
    EXPECT_TRUE(lines.contains("Registrar: Real Name ")) << lines.join('|').toStdString();
}
