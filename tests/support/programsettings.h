#pragma once
// The settings file beside the test program. Every main window reads it when it is created and
// writes it when it closes; ctest runs the tests of one program as parallel processes, so tests
// that create windows take turns on it. A test starts from the content it asks for (no file by
// default) and the file is gone again afterwards. Nested guards in one process share the turn and
// leave the file to the outermost one.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class ProgramSettings {
public:
    explicit ProgramSettings(std::optional<QByteArray> content = std::nullopt);
    ~ProgramSettings();
    ProgramSettings(const ProgramSettings&) = delete;
    ProgramSettings& operator=(const ProgramSettings&) = delete;

    // The settings file the windows of this program use.
    static QString Path();
    // Takes this program's turn for as long as the process runs, so that no test of it can meet
    // a settings file that a test running beside it wrote (the widget tests' entry does this).
    static void HoldTurnForProcess();

private:
    bool outermost_ = false;
};

// Every file under `folder`, and the settings file, that holds `bytes`.
QStringList FilesAndSettingsHolding(const QString& folder, const QByteArray& bytes);
