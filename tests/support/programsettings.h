#pragma once
// The settings file of the windows a test makes. Every main window reads it when it is created
// and writes it when it closes; each test process has a file of its own (REGISCRIBE_SETTINGS), so
// that ctest's parallel processes never meet each other's. A test starts from the content it asks
// for (no file by default) and the file is gone again afterwards. Nested guards leave the file to
// the outermost one.
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

    // The settings file the windows of this process use.
    static QString Path();
    // Gives this process a settings file of its own, in a folder removed when it ends (the
    // widget tests' entry does this first).
    static void UseOwnFile();

private:
    bool outermost_ = false;
};

// Every file under `folder`, and the settings file, that holds `bytes`.
QStringList FilesAndSettingsHolding(const QString& folder, const QByteArray& bytes);
