#pragma once
// The domain review summary: caption labels with value labels (rdomain ... rns4ip) that show
// "n/a" until the review is first refreshed.
class QWidget;

QWidget* MakeDomainReviewLabels(QWidget* parent);
