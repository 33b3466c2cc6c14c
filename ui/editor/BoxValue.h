#pragma once

#include <QString>

// The number in a box of an amount (delay, interval, executions): its leading decimal digits;
// no digits give 0, a number beyond the 32-bit range 2147483647.
int UnsignedBoxValue(const QString& text);
// The number in a box of a compared value: an optional sign and the digits up to the first other
// character; no digits give 0, beyond the range 2147483647 or -2147483648.
int SignedBoxValue(const QString& text);
// A stored amount as such a box shows it: as an unsigned 32-bit number (-1 shows 4294967295).
QString UnsignedBoxText(int value);
