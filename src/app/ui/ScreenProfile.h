#pragma once
// The colour profile of the screen, as colour management tools publish it
// on X11 (the root window's _ICC_PROFILE property). Pictures with a profile
// of their own are converted into it; without one the screen is taken to be
// sRGB.
#include <QByteArray>

// The screen's ICC profile; empty when none is published, when it is not a
// usable ICC profile, and on window systems other than X11.
QByteArray ReadScreenProfile();

// Hands the screen's profile, when there is one, to the decoders.
void UseScreenProfile();
