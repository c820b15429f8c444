#pragma once
// A screen reader tells controls apart by role and name only. Where the same caption stands on
// several tabs of one window (Clear, Copy to Admin, the address fields, the tabs' own captions),
// each copy is named by what the user sees followed by the tab it lies on, "Clear All (Domain
// Reg)": the innermost tab (or group box) that tells them apart. The captions shown stay as they
// are. The window's tab widgets leave the focus chain to their tab bars, and a tab bar's scroll
// arrows leave it altogether.
class QWidget;

void MakeNamesDistinct(QWidget* window);
