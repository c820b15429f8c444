#pragma once
// The print preview's size: a legible page and the whole tool bar (Print included) within the
// screen, at any pixel density. Where the screen is narrower than the tool bar, its icons get
// smaller first, then the views that are only conveniences leave it (page modes, orientation, the
// first and last page, fit width and page), until it fits.
class QPrintPreviewDialog;
class QScreen;

void FitPreviewToScreen(QPrintPreviewDialog& preview, const QScreen* screen);
