// The kind table: one complete entry per kind, at its own place, naming only fields of its own
// kind, so that no feature reading it reaches into another kind's page.
#include "templates/recordkinds.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {
std::string S(const QString& s) {
    return s.toStdString();
}

const FieldInfo* FieldOf(const RecordKindInfo& info, const QString& control) {
    for (const FieldInfo& f : info.fields)
        if (f.control == control) return &f;
    return nullptr;
}

void ExpectOwnFields(const RecordKindInfo& info, const QStringList& controls, const char* what) {
    for (const QString& control : controls)
        EXPECT_NE(FieldOf(info, control), nullptr) << what << ": " << S(control);
}
} // namespace

TEST(RecordKinds, EveryKindHasACompleteEntryAtItsOwnPlace) {
    EXPECT_EQ(RecordKinds(),
              (std::vector<RecordKind>{RecordKind::Domain, RecordKind::Host, RecordKind::Contact}));
    QSet<QString> words, folders, lists, sections, subjects;
    for (RecordKind kind : RecordKinds()) {
        const RecordKindInfo& info = KindOf(kind);
        SCOPED_TRACE(S(info.word));
        EXPECT_EQ(info.kind, kind);
        words << info.word;
        folders << info.folder;
        lists << info.nameListFile.toLower();
        sections << info.storeSection;
        subjects << info.subjectWords;
        EXPECT_NE(info.formLines, nullptr);
        EXPECT_FALSE(info.emptyNameMessage.isEmpty());
        ASSERT_FALSE(info.fields.empty());

        const FieldInfo* name = FieldOf(info, info.nameBox);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->type, FieldType::NameBox);
        const FieldInfo* scheme = FieldOf(info, info.authorizationField);
        ASSERT_NE(scheme, nullptr);
        EXPECT_EQ(scheme->type, FieldType::Selector);
        EXPECT_EQ(QSet<QString>(info.actionRadios.begin(), info.actionRadios.end()).size(), 3);

        QStringList required, stored;
        for (const RequiredItem& r : info.requiredItems)
            required << r.control;
        for (const auto* keys : {&info.defaultsKeys, &info.recordFileKeys})
            for (const StoreKey& k : *keys)
                if (k.source == StoreKey::Field) stored << k.field;
        EXPECT_FALSE(required.isEmpty());
        ExpectOwnFields(info, required, "required");
        ExpectOwnFields(info, info.clearAllFields, "clear all");
        ExpectOwnFields(info, info.actionOpenings.closedByNew, "closed by New");
        ExpectOwnFields(info, info.actionOpenings.openedByModify, "opened by Modify");
        if (!info.actionOpenings.closedByMailFrom.isEmpty())
            ExpectOwnFields(info, {info.actionOpenings.closedByMailFrom}, "closed by MAIL-FROM");
        ExpectOwnFields(info, stored, "stored");
        // A record without its public flag stores none.
        for (const StoreKey& k : info.recordFileKeys)
            EXPECT_TRUE(k.source != StoreKey::Public || info.hasPublicFlag);
    }
    // Two kinds sharing a folder, a name list or a section would overwrite each other's files.
    for (const auto* set : {&words, &folders, &lists, &sections, &subjects})
        EXPECT_EQ(set->size(), qsizetype(RecordKinds().size()));
}
