#pragma once
// What a screen reader learns of a TSmoothProgressBar: a progress bar whose value is its position
// and reads as a percentage of its range ("45 %"); in the marquee style it is busy and has no
// value to read.

class TSmoothProgressBar;

// Makes Qt's accessibility create the interface for every TSmoothProgressBar; safe to call again.
void InstallSmoothProgressBarAccessibility();

// Tells a listening screen reader that the position changed; costs nothing while none listens.
void NotifySmoothProgressBarMoved(TSmoothProgressBar* bar);
// The same for a change between the normal and the marquee style.
void NotifySmoothProgressBarStyleChanged(TSmoothProgressBar* bar);
