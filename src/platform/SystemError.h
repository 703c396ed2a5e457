#pragma once
// The system's error numbers in the words of the user interface (Japanese),
// for the parenthesised reason inside messages.
#include <QString>

QString SystemErrorText(int err);
