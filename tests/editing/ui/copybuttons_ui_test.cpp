// Every one of the 33 copy and clear buttons, clicked as the user clicks it, against the effect
// its caption promises. The expected effects are worked out here from the blocks' fields, so two
// buttons whose effects were swapped fail.
#include "support/ui/formdriver.h"

#include <QMap>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace {
enum Block { Org, Admin, Tech, Billing, Servers };

// The fields of each block in role order: handle, role, name, organization, street, city, state,
// postal code, country, phone, fax, e-mail (the Org block has the six from organization to
// country only).
QStringList Fields(Block b) {
    if (b == Org)
        return {"OOrgNameEdit", "OAddrEdit", "OCityEdit", "OStateEdit", "OZipEdit", "OCountryEdit"};
    if (b == Servers)
        return {"PriNSEdit",   "PriNSIPEdit",   "SecNSEdit",    "SecNSIPEdit",
                "ThirdNSEdit", "ThirdNSIPEdit", "fourthnsedit", "fourthnsipedit"};
    const QString l = b == Admin ? "A" : b == Tech ? "T" : "B";
    QStringList fields;
    for (const char* stem : {"Handle", "Role", "Name", "Org", "Addr", "City", "State", "Zip",
                             "Country", "Phone", "Fax", "Mail"})
        fields << l + stem + "Edit";
    return fields;
}

using Texts = QMap<QString, QString>;

// A copy between blocks: all twelve fields between contact blocks, the six address fields
// between the Org block and a contact block.
void Copy(Texts& t, Block from, Block to) {
    QStringList source = Fields(from), target = Fields(to);
    if (from == Org) target = target.mid(3, 6);
    if (to == Org) source = source.mid(3, 6);
    for (int i = 0; i < source.size(); ++i)
        t[target[i]] = t[source[i]];
}

struct Effect {
    const char* button;
    std::vector<std::pair<Block, Block>> copies; // in order
    Block cleared = Servers;
    bool clears = false;
};

std::vector<Effect> Effects() {
    return {
        {"O1", {{Org, Admin}}},
        {"O2", {{Org, Tech}}},
        {"O3", {{Org, Billing}}},
        {"O4", {{Org, Admin}, {Org, Tech}, {Org, Billing}}},
        {"O5", {{Admin, Org}}},
        {"O6", {{Tech, Org}}},
        {"O7", {{Billing, Org}}},
        {"O8", {}, Org, true},
        {"A1", {{Admin, Org}}},
        {"A2", {{Admin, Tech}}},
        {"A3", {{Admin, Billing}}},
        {"A4", {{Admin, Org}, {Admin, Tech}, {Admin, Billing}}},
        {"A5", {{Org, Admin}}},
        {"A6", {{Tech, Admin}}},
        {"A7", {{Billing, Admin}}},
        {"A8", {}, Admin, true},
        {"T1", {{Tech, Org}}},
        {"T2", {{Tech, Admin}}},
        {"T3", {{Tech, Billing}}},
        {"T4", {{Tech, Org}, {Tech, Admin}, {Tech, Billing}}},
        {"T5", {{Org, Tech}}},
        {"T6", {{Admin, Tech}}},
        {"T7", {{Billing, Tech}}},
        {"T8", {}, Tech, true},
        {"B1", {{Billing, Org}}},
        {"B2", {{Billing, Admin}}},
        {"B3", {{Billing, Tech}}},
        {"B4", {{Billing, Org}, {Billing, Admin}, {Billing, Tech}}},
        {"B5", {{Org, Billing}}},
        {"B6", {{Admin, Billing}}},
        {"BitBtn32", {{Tech, Billing}}},
        {"BitBtn33", {}, Billing, true},
        {"BitBtn3", {}, Servers, true},
    };
}

QStringList AllFields() {
    QStringList all;
    for (Block b : {Org, Admin, Tech, Billing, Servers})
        all << Fields(b);
    return all;
}

class CopyButtonsUi : public testing::TestWithParam<Effect> {};
} // namespace

TEST_P(CopyButtonsUi, TheClickedButtonDoesWhatItsCaptionSays) {
    const Effect& effect = GetParam();
    FormDriver d;
    // Every field holds a text of its own, typed by the user.
    Texts expected;
    for (const QString& field : AllFields()) {
        const QString text = field.endsWith("RoleEdit") ? field.left(1) : field.chopped(4);
        d.Type(field, text);
        expected[field] = d.Text(field);
    }
    for (auto [from, to] : effect.copies)
        Copy(expected, from, to);
    if (effect.clears)
        for (const QString& field : Fields(effect.cleared))
            expected[field].clear();

    d.Click(effect.button);

    for (const QString& field : AllFields())
        EXPECT_EQ(d.Text(field), expected[field]) << field.toStdString();
    EXPECT_TRUE(d.boxes().shown().empty());
}

INSTANTIATE_TEST_SUITE_P(All33, CopyButtonsUi, testing::ValuesIn(Effects()),
                         [](const testing::TestParamInfo<Effect>& info) {
                             return std::string(info.param.button);
                         });
