#pragma once
// The record store's behaviour in the main window: settings and defaults at creation, the Setup
// section at close, Save as Default, record loading on name-box changes, the name lists and the
// Setup command.
#include "store/setupsettings.h"
#include "templates/recordmodel.h"
#include "templates/templatefiles.h"

#include <QObject>

class QComboBox;
class TForm1;
class TRecordPages;

class TStore : public QObject {
    Q_OBJECT
public:
    TStore(TForm1& form, const TRecordPages& pages);

    // FormCreate: SettingsFile, the "Setup" section, LoadDefaults; then the three name lists.
    void ReadSettingsAndDefaults();
    void LoadNameLists();
    // FormClose: the four "Setup" keys; a failure keeps the window open.
    void WriteSettings();

    // A page's Save as Default button.
    void SaveDefaultsOf(RecordKind kind);

    // The name boxes' change reaction (the user's edits and list picks only).
    void LoadRecordFile(RecordKind kind, const QString& name);

    // After Show Form (and a successful send): New adds the name, Delete removes the picked
    // entry and the record's two files.
    void UpdateNameList(RecordKind kind, const Record& record, const TemplateFiles& files);

    void Setup2Click();

    // The settings in memory, of which the store is the one owner: the mail client, Setup and
    // Mail Security read them here and change them through SetSettings, which tells
    // SettingsChanged.
    const SetupSettings& Settings() const { return settings_; }
    void SetSettings(const SetupSettings& settings);

signals:
    void SettingsChanged(const SetupSettings& settings);

private:
    QComboBox* NameBox(RecordKind kind) const;
    void SetNameListItems(RecordKind kind, const QStringList& names);

    TForm1& form_;
    const TRecordPages& pages_;
    SetupSettings settings_;
};
