#pragma once
// The New/Modify/Delete reactions: a Delete asks for confirmation, and on the host and contact
// tabs the choice opens or closes the fields that only an existing record needs. Each reaction
// runs when its radio becomes checked, by the user or by code.
#include "editing/selectorrules.h"

#include <QObject>

class TForm1;
class TRecordPages;

class TActionSelectors : public QObject {
    Q_OBJECT
public:
    TActionSelectors(TForm1& form, const TRecordPages& pages);

    // The page's New and Modify radios.
    void Apply(RecordKind kind, ActionChoice choice);
    // The page's Delete radio: asks the page's delete question; No goes back to New (running its
    // reaction), anything else keeps Delete.
    void ConfirmDelete(RecordKind kind);

private:
    TForm1& form_;
    const TRecordPages& pages_;
};
