#include "editing/blockcopy.h"

namespace {
const char* const kRoleStems[12] = {"Handle", "Role", "Name",    "Org",   "Addr", "City",
                                    "State",  "Zip",  "Country", "Phone", "Fax",  "Mail"};

QString BlockLetter(Block block) {
    switch (block) {
    case Block::Admin:
        return "A";
    case Block::Technical:
        return "T";
    case Block::Billing:
        return "B";
    case Block::Org:
        break;
    }
    return "O";
}
} // namespace

QStringList BlockRoleControls(Block block) {
    if (block == Block::Org)
        return {QString(),    QString(),  QString(),      "OOrgNameEdit", "OAddrEdit", "OCityEdit",
                "OStateEdit", "OZipEdit", "OCountryEdit", QString(),      QString(),   QString()};
    QStringList controls;
    for (const char* stem : kRoleStems)
        controls << BlockLetter(block) + stem + "Edit";
    return controls;
}

QStringList BlockFields(Block block) {
    QStringList fields = BlockRoleControls(block);
    fields.removeAll(QString());
    return fields;
}

std::vector<FieldCopy> BlockCopyFields(Block source, Block target) {
    std::vector<FieldCopy> copies;
    if (source == target) return copies;
    const QStringList from = BlockRoleControls(source);
    const QStringList to = BlockRoleControls(target);
    for (qsizetype role = 0; role < from.size(); ++role)
        if (!from[role].isEmpty() && !to[role].isEmpty()) copies.push_back({from[role], to[role]});
    return copies;
}

std::vector<Block> CopyToAllTargets(Block source) {
    std::vector<Block> targets;
    for (Block b : {Block::Org, Block::Admin, Block::Technical, Block::Billing})
        if (b != source) targets.push_back(b);
    return targets;
}

QStringList NameServerFields() {
    return {"PriNSEdit",   "PriNSIPEdit",   "SecNSEdit",    "SecNSIPEdit",
            "ThirdNSEdit", "ThirdNSIPEdit", "fourthnsedit", "fourthnsipedit"};
}
