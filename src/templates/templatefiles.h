#pragma once
// Where a record's files go and how a template's lines reach the disk: the kind folder under the
// current directory, the text file written anew with CR LF line ends, and the file errors.
#include "templates/recordmodel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The paths of the template text file and the record file most recently written for a kind
// (the window's DomainFormFile/DomainRecordFile and so on).
struct TemplateFiles {
    QString formFile;
    QString recordFile;
};

// The kind folder under the current directory, read afresh at every call.
QString KindFolderPath(RecordKind kind);

// Fails with the file error of a missing folder ("Invalid filename", with ": control characters"
// added for a name holding one) when the name would reach outside the kind folder or split a name
// list (see IsSafeRecordName). Nothing is touched.
void RefuseUnsafeRecordName(const QString& name);

// The base name under which a record's files lie in `folder`. As on a file system that ignores
// letter case, "Bob" and "bob" name one record: when no file of exactly that name exists but one
// whose name differs only in case does (its record file first, else its template), that file's
// spelling is the record's; otherwise the name as given.
QString RecordFileBase(const QString& folder, const QString& name);
// The record file of a name in its kind folder, by that rule.
QString RecordFileOf(RecordKind kind, const QString& name);

// The first steps of every writer: refuses an unsafe name, creates the kind folder (one level; a
// failure is left to the file creation to report) and sets both paths (RecordFileBase).
void PrepareTemplateFiles(RecordKind kind, const QString& name, TemplateFiles& files);

// The lines joined with CR LF after every line, as 8-bit (UTF-8) text.
QByteArray JoinTemplateLines(const QStringList& lines);
// Replaces `path` by a file holding `bytes` (atomically: a crash leaves the old file or the new);
// a failure raises the file error for its errno and leaves the old file.
void WriteTextFile(const QString& path, const QByteArray& bytes);
// A text file's lines without their line ends (CR LF or LF); raises the file error on failure.
QStringList ReadTextLines(const QString& path);
