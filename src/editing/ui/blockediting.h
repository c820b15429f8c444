#pragma once
// The copy panels of the Org, Admin, Technical and Billing sub-tabs and the Name Servers Clear
// button. Every button runs one of the shared operations below; the buttons with the same effect
// ("Copy to Billing" on Technical, "Copy From Tech" on Billing) run the same one.
#include "editing/blockcopy.h"

#include <QObject>

class TClearUndo;
class TForm1;

class TBlockEditing : public QObject {
    Q_OBJECT
public:
    TBlockEditing(TForm1& form, TClearUndo& undo);

    // The shared operations.
    void CopyBlock(Block source, Block target);
    void CopyToAll(Block source);
    void ClearBlock(Block block);

    void O1Click() { CopyBlock(Block::Org, Block::Admin); }
    void O2Click() { CopyBlock(Block::Org, Block::Technical); }
    void O3Click() { CopyBlock(Block::Org, Block::Billing); }
    void O4Click() { CopyToAll(Block::Org); }
    void O5Click() { CopyBlock(Block::Admin, Block::Org); }
    void O6Click() { CopyBlock(Block::Technical, Block::Org); }
    void O7Click() { CopyBlock(Block::Billing, Block::Org); }
    void O8Click() { ClearBlock(Block::Org); }

    void A1Click() { CopyBlock(Block::Admin, Block::Org); }
    void A2Click() { CopyBlock(Block::Admin, Block::Technical); }
    void A3Click() { CopyBlock(Block::Admin, Block::Billing); }
    void A4Click() { CopyToAll(Block::Admin); }
    void A5Click() { CopyBlock(Block::Org, Block::Admin); }
    void A6Click() { CopyBlock(Block::Technical, Block::Admin); }
    void A7Click() { CopyBlock(Block::Billing, Block::Admin); }
    void A8Click() { ClearBlock(Block::Admin); }

    void T1Click() { CopyBlock(Block::Technical, Block::Org); }
    void T2Click() { CopyBlock(Block::Technical, Block::Admin); }
    void T3Click() { CopyBlock(Block::Technical, Block::Billing); }
    void T4Click() { CopyToAll(Block::Technical); }
    void T5Click() { CopyBlock(Block::Org, Block::Technical); }
    void T6Click() { CopyBlock(Block::Admin, Block::Technical); }
    void T7Click() { CopyBlock(Block::Billing, Block::Technical); }
    void T8Click() { ClearBlock(Block::Technical); }

    void B1Click() { CopyBlock(Block::Billing, Block::Org); }
    void B2Click() { CopyBlock(Block::Billing, Block::Admin); }
    void B3Click() { CopyBlock(Block::Billing, Block::Technical); }
    void B4Click() { CopyToAll(Block::Billing); }
    void B5Click() { CopyBlock(Block::Org, Block::Billing); }
    void B6Click() { CopyBlock(Block::Admin, Block::Billing); }
    void BitBtn32Click() { CopyBlock(Block::Technical, Block::Billing); }
    void BitBtn33Click() { ClearBlock(Block::Billing); }

    void BitBtn3Click(); // Name Servers: Clear

private:
    TForm1& form_;
    TClearUndo& undo_;
};
