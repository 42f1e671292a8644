#include "shell/Windows.h"

#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/France.h"
#include "shell/Bonjour.h"

namespace varnelle {

Windows::Windows(Platform& platform)
    : Forms(platform.quit), bonjour([this] { return new Bonjour(*this); }),
      france([this] { return new France(*this); }), erreur([this] { return new Erreur(*this); }),
      villesDeFrance([this] { return new VillesDeFrance(*this); }),
      coupeVainqueur([this] { return new CoupeVainqueur(*this); }), platform_(platform)
{
}

Windows::~Windows() = default;

} // namespace varnelle
