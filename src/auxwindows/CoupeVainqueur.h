// Varnelle: the winner's cup window, which plays the anthem while it is open.
#pragma once

#include "shell/Windows.h"

namespace varnelle {

// The window itself: its title, client area and icon.
inline constexpr FormSpec kCoupeForm{"Coupe du vainqueur", 3345, 3405, ":/icons/varnelle.ico"};

class CoupeVainqueur : public Form {
    Q_OBJECT
public:
    explicit CoupeVainqueur(Windows& windows);

    static constexpr const char* kAnthem = "Marseillaise.wav";

protected:
    void Form_Unload() override;

private:
    void Form_Load();

    Windows& windows_;
};

} // namespace varnelle
