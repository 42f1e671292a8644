// Varnelle: the error window, shown after a wrong click on an answer box.
#pragma once

#include "shell/Forms.h"

namespace varnelle {

class Erreur : public Form {
    Q_OBJECT
public:
    explicit Erreur(Forms& forms);
};

} // namespace varnelle
