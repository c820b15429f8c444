#pragma once
// The four address blocks of the domain tab and the rules for copying one into another: each
// field goes into the field of the same role, and a role the Org block lacks (handle, role, name,
// phone, fax, e-mail) is neither read nor written.
#include <QString>
#include <QStringList>
#include <vector>

enum class Block { Org, Admin, Technical, Billing };

// The block's control for each of the twelve roles, in role order (handle, role, name,
// organization, street, city, state, postal code, country, phone, fax, e-mail); the Org block has
// an empty name where it has no field.
QStringList BlockRoleControls(Block block);
// The block's fields that exist: six for Org, twelve for a contact block.
QStringList BlockFields(Block block);

struct FieldCopy {
    QString source;
    QString target;
};
// The field copies of one copy operation, source block into target block, in role order. Copying
// a block onto itself copies nothing.
std::vector<FieldCopy> BlockCopyFields(Block source, Block target);
// The targets of a block's "Copy to ALL", in the order they are copied: the other three blocks in
// the order Org, Admin, Technical, Billing.
std::vector<Block> CopyToAllTargets(Block source);

// The eight fields the Name Servers Clear button empties.
QStringList NameServerFields();
