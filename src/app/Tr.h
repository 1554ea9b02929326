#pragma once
// The program's own texts: Parcelio::tr("…") gives the Chinese source text,
// or its English when that translation is installed (app/Language.h). One
// context for every text, so that a text used in several places is
// translated once. Texts that are stored or compared with stored values
// (states, switch values, the courier names) are never passed through it.
#include <QCoreApplication>

struct Parcelio {
    Q_DECLARE_TR_FUNCTIONS(Parcelio)
};
