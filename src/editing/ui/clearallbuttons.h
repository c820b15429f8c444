#pragma once
// The "Clear All" buttons of the three review pages: they empty the tab's fields and nothing else.
#include "templates/recordmodel.h"

#include <QObject>

class TForm1;

class TClearAll : public QObject {
    Q_OBJECT
public:
    explicit TClearAll(TForm1& form);

    void ClearTab(RecordKind kind);

    void BitBtn2Click() { ClearTab(RecordKind::Domain); }
    void HostCancelClick() { ClearTab(RecordKind::Host); }
    void ContactClearClick() { ClearTab(RecordKind::Contact); }

private:
    TForm1& form_;
};
