#pragma once
// The New/Modify/Delete reactions: a Delete asks for confirmation, and on the host and contact
// tabs the choice opens or closes the fields that only an existing record needs. Each reaction
// runs when its radio becomes checked, by the user or by code.
#include "editing/selectorrules.h"

#include <QObject>

class TForm1;

class TActionSelectors : public QObject {
    Q_OBJECT
public:
    explicit TActionSelectors(TForm1& form);

    void DeleteDomainRadioClick() { ConfirmDelete(RecordKind::Domain); }
    void NewHostRadioClick() { Apply(RecordKind::Host, ActionChoice::New); }
    void ModifyHostRadioClick() { Apply(RecordKind::Host, ActionChoice::Modify); }
    void DeleteHostRadioClick() { ConfirmDelete(RecordKind::Host); }
    void NewContactRadioClick() { Apply(RecordKind::Contact, ActionChoice::New); }
    void ModifyContactRadioClick() { Apply(RecordKind::Contact, ActionChoice::Modify); }
    void DeleteContactRadioClick() { ConfirmDelete(RecordKind::Contact); }

private:
    void Apply(RecordKind kind, ActionChoice choice);
    // Asks the tab's delete question; No goes back to New (running its reaction), anything else
    // keeps Delete.
    void ConfirmDelete(RecordKind kind);

    TForm1& form_;
};
