// Dialog units to pixels. A dialog's template gives positions and sizes in
// dialog units of its font: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height, both
// measured as the system does (the width of the 52 Latin letters, halved and
// rounded; the font's full height).
//
// Fonts: the Japanese Gothic faces of the templates are shown with the IPA
// Gothic fonts: "ＭＳ Ｐゴシック" (proportional) with IPAPGothic, "ＭＳ ゴシック"
// (fixed) with IPAGothic, any other face with IPAPGothic. Points become pixels
// at 96 dots per inch, as on the desktop the templates were drawn for.
#pragma once

#include <FL/Enumerations.H>

#include <string>

namespace ui {

class DialogUnits {
public:
    struct Base {
        int x = 0;  // pixels per 4 horizontal units
        int y = 0;  // pixels per 8 vertical units
    };

    // The toolkit font for a template's face name (code page 932). Registers
    // the IPA faces on first use.
    static Fl_Font FontFor(const std::string& faceCp932);
    // The toolkit name of that font (" IPAPGothic", " IPAGothic").
    static const char* XftNameFor(const std::string& faceCp932);
    static int PixelsOfPoints(int points);

    // Measures the base units of a font (needs the display).
    static Base Measure(Fl_Font font, int pixels);
    // The base units from the measured width of the 52 letters and the height.
    static Base FromMetrics(double lettersWidth, int height);

    static int X(int units, const Base& base);
    static int Y(int units, const Base& base);
};

}  // namespace ui
