// Drawing of the system's controls in the classic desktop look, shared by the
// framework's dialogs (ControlView) and the message boxes. All texts are
// UTF-8 labels (TextEdge::Label); the current toolkit font is used.
#pragma once

#include "ui/fltk/TextEdge.h"

#include <FL/Enumerations.H>

namespace ui {

class Paint {
public:
    enum class HAlign { Left, Center, Right };
    enum class Icon { Blank, Error, Question, Exclamation, Information };

    static Fl_Color Face();       // dialog background
    static Fl_Color Highlight();  // selection and progress bars

    // A label in a box: lines at its line feeds, aligned, vertically centred
    // or from the top, the access key underlined, clipped to the box.
    static void Label(const TextEdge::Label& label, int x, int y, int w, int h, HAlign align, bool vcenter,
                      Fl_Color color);
    // The same, grey and embossed as a disabled control's text.
    static void DisabledLabel(const TextEdge::Label& label, int x, int y, int w, int h, HAlign align, bool vcenter);

    static void PushButton(int x, int y, int w, int h, const TextEdge::Label& label, bool enabled, bool pressed,
                           bool isDefault, bool focused);
    static void RadioButton(int x, int y, int w, int h, const TextEdge::Label& label, bool enabled, bool pressed,
                            bool checked, bool focused);
    static void CheckBox(int x, int y, int w, int h, const TextEdge::Label& label, bool enabled, bool pressed,
                         unsigned check, bool focused);
    static void GroupBox(int x, int y, int w, int h, const TextEdge::Label& label, bool enabled);
    // A progress bar; `smooth` fills continuously, otherwise in blocks.
    static void ProgressBar(int x, int y, int w, int h, int low, int high, int pos, bool smooth);
    // A message box icon of `size` pixels.
    static void MessageIcon(Icon icon, int x, int y, int size);
    static void FocusRect(int x, int y, int w, int h);

private:
    static void LabelBesideBox(const TextEdge::Label& label, int tx, int x, int y, int w, int h, bool enabled,
                               bool focused);
};

}  // namespace ui
