#pragma once

#include <QChar>

/**
 * How the reception box shows one received byte: the Windows-1252 character
 * it is, so that every byte stays visible on a line of its own. Control bytes
 * (0x00 .. 0x1F, 0x7F), which would break the line or vanish, show as their
 * Unicode control pictures (U+2400 + byte, U+2421), and the five bytes the
 * character set leaves undefined as the replacement character U+FFFD.
 */
QChar caractereRecu(int octet);
