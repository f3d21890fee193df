#pragma once
// What a screen reader learns of a TRangeSlider: the slider's name and its range as
// "from 2 % to 98 %", and each thumb as a child with a value of its own ("Lower end",
// "Upper end"). The values are read from the slider whenever they are asked for.

class TRangeSlider;

// Makes Qt's accessibility create the interfaces for every TRangeSlider; safe to call again.
void InstallRangeSliderAccessibility();

// Tells a listening screen reader that a thumb moved; costs nothing while none listens.
void NotifyRangeSliderThumbMoved(TRangeSlider* slider, bool rightThumb);
