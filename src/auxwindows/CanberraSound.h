// Varnelle: the sound player on libcanberra, the desktop's event-sound library.
#pragma once

#include "shell/Forms.h"

struct ca_context;

namespace varnelle {

class CanberraSound : public SoundPlayer {
public:
    CanberraSound();
    ~CanberraSound() override;
    CanberraSound(const CanberraSound&) = delete;
    CanberraSound& operator=(const CanberraSound&) = delete;

    void playFile(const QString& bareName) override;
    void stop() override;

private:
    ca_context* context_ = nullptr;
};

} // namespace varnelle
