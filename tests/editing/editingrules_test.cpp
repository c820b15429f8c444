#include "editing/blockcopy.h"
#include "editing/clearall.h"
#include "editing/selectorrules.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {
const Block kBlocks[] = {Block::Org, Block::Admin, Block::Technical, Block::Billing};

QStringList Targets(const std::vector<FieldCopy>& copies) {
    QStringList t;
    for (const FieldCopy& c : copies)
        t << c.target;
    return t;
}

QSet<QString> Controls(RecordKind kind) {
    QSet<QString> set;
    for (const FieldInfo& f : RecordFields(kind))
        set.insert(f.control);
    return set;
}
} // namespace

TEST(BlockCopy, EveryOrderedPairCopiesRoleForRoleBetweenRealDomainFields) {
    const QSet<QString> domain = Controls(RecordKind::Domain);
    int operations = 0;
    for (Block from : kBlocks)
        for (Block to : kBlocks) {
            const auto copies = BlockCopyFields(from, to);
            if (from == to) {
                EXPECT_TRUE(copies.empty());
                continue;
            }
            ++operations;
            const bool withOrg = from == Block::Org || to == Block::Org;
            EXPECT_EQ(copies.size(), withOrg ? 6u : 12u);
            for (const FieldCopy& c : copies) {
                EXPECT_TRUE(domain.contains(c.source)) << c.source.toStdString();
                EXPECT_TRUE(domain.contains(c.target)) << c.target.toStdString();
                // Same role: the stem after the block letter matches (the Org block spells its
                // organization field differently).
                QString s = c.source.mid(1), t = c.target.mid(1);
                if (s == "OrgNameEdit") s = "OrgEdit";
                if (t == "OrgNameEdit") t = "OrgEdit";
                EXPECT_EQ(s, t);
            }
        }
    EXPECT_EQ(operations, 12);
}

TEST(BlockCopy, OrgAndContactBlocksShareOnlyTheSixAddressFields) {
    EXPECT_EQ(Targets(BlockCopyFields(Block::Org, Block::Billing)),
              QStringList({"BOrgEdit", "BAddrEdit", "BCityEdit", "BStateEdit", "BZipEdit",
                           "BCountryEdit"}));
    const auto back = BlockCopyFields(Block::Admin, Block::Org);
    EXPECT_EQ(Targets(back), BlockFields(Block::Org));
    EXPECT_EQ(back.front().source, "AOrgEdit");
    EXPECT_EQ(back.back().source, "ACountryEdit");
}

TEST(BlockCopy, CopyToAllGoesToTheOtherBlocksInWindowOrder) {
    using V = std::vector<Block>;
    EXPECT_EQ(CopyToAllTargets(Block::Org), V({Block::Admin, Block::Technical, Block::Billing}));
    EXPECT_EQ(CopyToAllTargets(Block::Technical), V({Block::Org, Block::Admin, Block::Billing}));
    EXPECT_EQ(CopyToAllTargets(Block::Billing), V({Block::Org, Block::Admin, Block::Technical}));
}

TEST(ClearAll, EachTabEmptiesEveryFieldOfItsRecordOnce) {
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact}) {
        const QStringList fields = ClearAllFields(kind);
        const QSet<QString> unique(fields.begin(), fields.end());
        EXPECT_EQ(unique.size(), fields.size());
        EXPECT_EQ(unique, Controls(kind));
    }
    EXPECT_EQ(ClearAllFields(RecordKind::Domain).mid(50),
              QStringList({"PurposeEdit", "AuthInfoEdit", "AuthScheme", "DomainNameEdit"}));
    EXPECT_EQ(ClearAllFields(RecordKind::Host).first(), "HostName");
    EXPECT_EQ(ClearAllFields(RecordKind::Contact).last(), "ContactMail");
}

TEST(SchemeRules, OnlyExactSchemeNamesHaveAnEffect) {
    ASSERT_TRUE(AuthorizationSchemeEffect("CRYPT-PW"));
    EXPECT_EQ(AuthorizationSchemeEffect("CRYPT-PW")->caption, "Password");
    EXPECT_TRUE(AuthorizationSchemeEffect("CRYPT-PW")->open);
    for (const char* closing : {"MAIL-FROM", "PGP"}) {
        ASSERT_TRUE(AuthorizationSchemeEffect(closing));
        EXPECT_EQ(AuthorizationSchemeEffect(closing)->caption, "n/a");
        EXPECT_FALSE(AuthorizationSchemeEffect(closing)->open);
    }
    for (const char* other : {"crypt-pw", "CRYPT-P", "CRYPT-PW ", "", "Pgp", "MAIL-TO"}) {
        EXPECT_FALSE(AuthorizationSchemeEffect(other)) << other;
        EXPECT_FALSE(AuthenticationCaption(other)) << other;
    }
    EXPECT_EQ(AuthenticationCaption("CRYPT-PW"), "Encrypted Password");
    EXPECT_EQ(AuthenticationCaption("MAIL-FROM"), "E-Mail Address");
    EXPECT_EQ(AuthenticationCaption("PGP"), "Public PGP Key ID");
}

TEST(ActionRules, ContactModifyKeepsAMailCheckedContactsInfoClosedButDeleteOpensIt) {
    auto finalState = [](ActionChoice choice, const QString& type) {
        QMap<QString, bool> state;
        for (const FieldOpening& f : ActionFieldChanges(RecordKind::Contact, choice, type))
            state[f.control] = f.open;
        return state;
    };
    const auto modify = finalState(ActionChoice::Modify, "MAIL-FROM");
    EXPECT_FALSE(modify["ContactAuthorizationInfo"]);
    EXPECT_TRUE(modify["ContactAuthorizationType"]);
    EXPECT_TRUE(modify["ContactNicHandle"]);
    EXPECT_TRUE(modify["ContactRole"]);
    EXPECT_TRUE(finalState(ActionChoice::Modify, "mail-from")["ContactAuthorizationInfo"]);
    EXPECT_TRUE(finalState(ActionChoice::DeleteConfirmed, "MAIL-FROM")["ContactAuthorizationInfo"]);
    for (ActionChoice closing : {ActionChoice::New, ActionChoice::DeleteDeclined}) {
        const auto state = finalState(closing, "CRYPT-PW");
        EXPECT_EQ(state.keys(), QStringList({"ContactAuthorizationInfo", "ContactAuthorizationType",
                                             "ContactNicHandle"}));
        EXPECT_FALSE(state.values().contains(true));
    }
    EXPECT_TRUE(ActionFieldChanges(RecordKind::Domain, ActionChoice::DeleteDeclined).empty());
}
