// Varnelle: the five windows of the program, each one instance for the whole run.
#pragma once

#include "shell/Forms.h"
#include "shell/Platform.h"

namespace varnelle {

class Bonjour;
class France;
class Erreur;
class VillesDeFrance;
class CoupeVainqueur;

// Created once in main() and handed to every window, which reaches the others
// and the seams to the outside world through it.
class Windows : public Forms {
public:
    explicit Windows(Platform& platform);
    ~Windows();

    Platform& platform() { return platform_; }

    FormRef<Bonjour> bonjour;
    FormRef<France> france;
    FormRef<Erreur> erreur;
    FormRef<VillesDeFrance> villesDeFrance;
    FormRef<CoupeVainqueur> coupeVainqueur;

private:
    Platform& platform_;
};

} // namespace varnelle
