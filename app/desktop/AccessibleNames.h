#pragma once
// The names screen readers give the window's drawn controls (the letter bar, the waveform strip,
// the sound indicator, the status scroller, the position bar and the sliders), in the current
// language (the SM_NAME* messages of lang.ini). Applied with the language. Main thread only.

namespace vorlane {

class TMainWindow;

void ApplyAccessibleNames(TMainWindow &window);

} // namespace vorlane
