#pragma once
// How the settings row's texts are read and checked, without a window.
#include <QString>

bool switchIsOn(const QString &stored);
// The address check of the settings panel: empty, no "@", or no known piece.
enum class AddressCheck { Ok, Empty, NoAt, NoKnownPiece };
AddressCheck checkAddress(const QString &address);
