#include "ui/fltk/DialogUnits.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <cmath>

namespace ui {

namespace {

constexpr Fl_Font ProportionalFont = FL_FREE_FONT;
constexpr Fl_Font FixedFont = static_cast<Fl_Font>(FL_FREE_FONT + 1);

bool IsFixedFace(const std::string& face) { return face == "ＭＳ ゴシック" || face == "MS Gothic"; }

void RegisterFonts()
{
    static bool done = false;
    if (done) return;
    done = true;
    Fl::set_font(ProportionalFont, " IPAPGothic");
    Fl::set_font(FixedFont, " IPAGothic");
}

// MulDiv: the product divided, rounded half away from zero.
int MulDiv(int a, int b, int c)
{
    long long p = static_cast<long long>(a) * b;
    long long r = (p >= 0 ? p + c / 2 : p - c / 2) / c;
    return static_cast<int>(r);
}

}  // namespace

Fl_Font DialogUnits::FontFor(const std::string& face)
{
    RegisterFonts();
    return IsFixedFace(face) ? FixedFont : ProportionalFont;
}

const char* DialogUnits::XftNameFor(const std::string& face) { return IsFixedFace(face) ? " IPAGothic" : " IPAPGothic"; }

int DialogUnits::PixelsOfPoints(int points) { return MulDiv(points > 0 ? points : 9, 96, 72); }

DialogUnits::Base DialogUnits::Measure(Fl_Font font, int pixels)
{
    fl_font(font, pixels);
    return FromMetrics(fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), fl_height());
}

DialogUnits::Base DialogUnits::FromMetrics(double lettersWidth, int height)
{
    Base b;
    int cx = static_cast<int>(std::lround(lettersWidth));
    b.x = (cx / 26 + 1) / 2;
    b.y = height;
    if (b.x < 1) b.x = 1;
    if (b.y < 1) b.y = 1;
    return b;
}

int DialogUnits::X(int units, const Base& base) { return MulDiv(units, base.x, 4); }
int DialogUnits::Y(int units, const Base& base) { return MulDiv(units, base.y, 8); }

}  // namespace ui
