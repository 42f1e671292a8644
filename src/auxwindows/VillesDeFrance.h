// Varnelle: the city revision window, a map of the cities with their names.
#pragma once

#include "shell/Forms.h"

namespace varnelle {

class VillesDeFrance : public Form {
    Q_OBJECT
public:
    explicit VillesDeFrance(Forms& forms);
};

} // namespace varnelle
