#include "Keyboard.h"

#include <QGuiApplication>

#ifdef BRENNIX_HAVE_X11
// After the Qt headers: Xlib's macros would clash with their names.
#include <X11/XKBlib.h>
#endif

namespace {

LockKeyScript* script = nullptr;

#ifdef BRENNIX_HAVE_X11
// The X keyboard extension names its indicators; their numbers differ from one keyboard map to another.
std::array<std::optional<bool>, 3> X11LockStates(Display* display)
{
    static Display* known = nullptr;
    static std::array<int, 3> indicator { -1, -1, -1 };
    if (known != display) {
        known = display;
        const char* names[3] = { "Caps Lock", "Num Lock", "Scroll Lock" };
        for (int i = 0; i < 3; ++i) {
            const Atom atom = XInternAtom(display, names[i], False);
            int index = -1;
            Bool on = False, real = False;
            indicator[size_t(i)]
                = atom != 0 && XkbGetNamedIndicator(display, atom, &index, &on, nullptr, &real) ? index : -1;
        }
    }
    std::array<std::optional<bool>, 3> states;
    unsigned int lit = 0;
    if (XkbGetIndicatorState(display, XkbUseCoreKbd, &lit) != Success) return states;
    for (size_t i = 0; i < 3; ++i)
        if (indicator[i] >= 0 && indicator[i] < 32) states[i] = (lit & (1u << indicator[i])) != 0;
    return states;
}
#endif

} // namespace

LockKeyScript::LockKeyScript()
{
    script = this;
}

LockKeyScript::~LockKeyScript()
{
    if (script == this) script = nullptr;
}

std::array<std::optional<bool>, 3> LockKeyStates()
{
    if (script) return script->states;
#ifdef BRENNIX_HAVE_X11
    if (auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        if (Display* display = app->display()) return X11LockStates(display);
#endif
    // Other windowing systems (Wayland, none) keep the keyboard's lights to themselves.
    return {};
}
