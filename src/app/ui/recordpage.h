#pragma once
// One registration page of the main window: its kind and the controls the features work with.
// The window builds each page once and hands the pages to the subsystems it attaches, so no
// feature has to know which control belongs to which kind. A control the page lacks is null.
#include "templates/recordkinds.h"

#include <QString>
#include <array>
#include <vector>

class QAbstractButton;
class QComboBox;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;
class TStatusLine;

struct TRecordPage {
    RecordKind kind = RecordKind::Domain;
    QComboBox* nameBox = nullptr;
    std::array<QRadioButton*, 3> actionRadios{}; // New, Modify, Delete
    QAbstractButton* showFormButton = nullptr;
    QAbstractButton* mailButton = nullptr;
    QAbstractButton* clearAllButton = nullptr;
    QAbstractButton* saveDefaultButton = nullptr;
    QAbstractButton* printButton = nullptr;
    QPlainTextEdit* holder = nullptr; // takes the written template's text
    QProgressBar* mailProgress = nullptr;
    TStatusLine* status = nullptr;
    bool showsFormViewer = false; // Show Form also brings up the form viewer
    // The window's paths of the kind's template and record file most recently written.
    QString* formFile = nullptr;
    QString* recordFile = nullptr;

    const RecordKindInfo& Info() const { return KindOf(kind); }
};

// The registration pages in page order, one per kind. The window adds them all before it hands
// them out; the features then hold on to the pages they are given.
class TRecordPages {
public:
    void Add(const TRecordPage& page) { pages_.push_back(page); }
    // The page of a kind; raises Exception when the window has none.
    const TRecordPage& Of(RecordKind kind) const;

    std::vector<TRecordPage>::const_iterator begin() const { return pages_.begin(); }
    std::vector<TRecordPage>::const_iterator end() const { return pages_.end(); }

private:
    std::vector<TRecordPage> pages_;
};
