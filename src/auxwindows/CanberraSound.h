// Varnelle: the sound player on libcanberra, the desktop's event-sound library.
#pragma once

#include "shell/Platform.h"

struct ca_context;

namespace varnelle {

// Plays through the PulseAudio protocol (PulseAudio or PipeWire), and through
// nothing else: the other back ends of libcanberra open sound devices in
// blocking mode and may wait on a device held by another program. The server
// is reached at the first play only, so a run that never wins never touches
// the sound system; without a server the calls fail at once, and silently.
// The library itself, with the codecs it links, is loaded at that first play
// too: start-up does not wait for it.
class CanberraSound : public SoundPlayer {
public:
    CanberraSound() = default;
    ~CanberraSound() override;
    CanberraSound(const CanberraSound&) = delete;
    CanberraSound& operator=(const CanberraSound&) = delete;

    void playFile(const QString& bareName) override;
    void stop() override;

    // The desktop sound that stands in for a file that cannot be played.
    static constexpr const char* kDefaultSound = "bell-window-system";

private:
    bool connect();

    ca_context* context_ = nullptr;
    bool tried_ = false;
};

} // namespace varnelle
