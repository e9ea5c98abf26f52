#pragma once

// The device's font is "Tavik Sans". Where it is not installed, the bundled condensed sans
// of the resources stands in under the family names the scene uses, so that text widths are
// the same on every machine. Safe to call more than once; needs the GUI application. Call it
// before the scene's view exists: added fonts make existing Qt Quick windows lay out again.
void installSceneFonts();
