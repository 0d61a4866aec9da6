// The keyboard at the screen's edge: the toolkit's key codes and modifier
// state become the Windows virtual-key codes and modifiers that the
// framework's input (ui::Input::Key) takes.
#pragma once

namespace ui {

class KeyMap {
public:
    // The virtual-key code of a toolkit key (Fl::event_key()); 0 for a key
    // the framework has no code for (it is then only typed as text).
    static int VirtualKey(int flKey);
    // ui::Input modifiers of a toolkit event state (Fl::event_state()).
    static int Modifiers(int flState);
    // True when the framework's own translation of a key press (the key
    // message turned into a character message) already types what the key
    // produced, so the key's text must not be typed a second time.
    static bool FrameworkTypes(int vk, int modifiers);
};

}  // namespace ui
