#pragma once
// Open and closed fields: a closed field is disabled and silver-grey (#C0C0C0) and keeps its text;
// an open one is enabled with the normal window colour.
class QWidget;

void SetFieldOpen(QWidget* field, bool open);
bool IsFieldOpen(const QWidget* field);
