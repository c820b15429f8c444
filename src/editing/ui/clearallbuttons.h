#pragma once
// The "Clear All" buttons of the three review pages: they empty the tab's fields and nothing else
// (Ctrl+Z right after puts them back, see clearundo.h).
#include "templates/recordmodel.h"

#include <QObject>

class TClearUndo;
class TForm1;

class TClearAll : public QObject {
    Q_OBJECT
public:
    TClearAll(TForm1& form, TClearUndo& undo);

    // A page's Clear All button.
    void ClearTab(RecordKind kind);

private:
    TClearUndo& undo_;
};
