#pragma once
// The typing limit of an edit. It holds back only what the user types or pastes: text placed by the
// program (loading a record, copying a block) is never cut, and a text already longer than the
// limit can still be shortened. QLineEdit's own maximum length would cut program text, so the
// limit is a validator instead.
class QLineEdit;

void SetTypingLimit(QLineEdit* edit, int limit);
// The limit set on the edit; 0 for none.
int TypingLimit(const QLineEdit* edit);
