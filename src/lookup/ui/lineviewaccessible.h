#pragma once
// What assistive technology reads of the answer views, which draw their lines themselves: the
// WHOIS memo is a read-only text (its whole text, caret and selection, by character offsets over
// the lines joined by LF); the Finger list box is a list with one item a line. Offsets and items
// are made only when a reader asks, so an answer of 40,000 lines costs nothing until then.
#include <QtGlobal>

class TLineView;
class TAnswerMemo;
class TAnswerList;

// Installs the factory that gives the views their interfaces (once; later calls do nothing).
void InstallLineViewAccessibility();

// Tell readers what changed; called only while a reader is listening.
void AnnounceAddedLines(TLineView* view, qsizetype firstNewLine);
void AnnounceSelection(TAnswerMemo* memo);
void AnnounceCurrentRow(TAnswerList* list);
