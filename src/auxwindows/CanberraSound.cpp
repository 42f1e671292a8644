#include "auxwindows/CanberraSound.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <canberra.h>

namespace varnelle {

namespace {

constexpr uint32_t kSoundId = 1;

// The entry points of libcanberra, resolved when the library is first needed.
struct Canberra {
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_set_driver) setDriver = nullptr;
    decltype(&ca_context_play) play = nullptr;
    decltype(&ca_context_cancel) cancel = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;

    // The library, or nullptr when it cannot be loaded.
    static const Canberra* get()
    {
        static const Canberra loaded = [] {
            QLibrary library(QStringLiteral("canberra"), 0);
            Canberra found;
            found.create = reinterpret_cast<decltype(create)>(library.resolve("ca_context_create"));
            found.setDriver = reinterpret_cast<decltype(setDriver)>(library.resolve("ca_context_set_driver"));
            found.play = reinterpret_cast<decltype(play)>(library.resolve("ca_context_play"));
            found.cancel = reinterpret_cast<decltype(cancel)>(library.resolve("ca_context_cancel"));
            found.destroy = reinterpret_cast<decltype(destroy)>(library.resolve("ca_context_destroy"));
            return found;
        }();
        const bool complete = loaded.create && loaded.setDriver && loaded.play && loaded.cancel && loaded.destroy;
        return complete ? &loaded : nullptr;
    }
};

} // namespace

CanberraSound::~CanberraSound()
{
    if (context_)
        Canberra::get()->destroy(context_);
}

bool CanberraSound::connect()
{
    if (tried_)
        return context_;
    tried_ = true;
    const Canberra* canberra = Canberra::get();
    if (!canberra || canberra->create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return false;
    }
    if (canberra->setDriver(context_, "pulse") != CA_SUCCESS) {
        canberra->destroy(context_);
        context_ = nullptr;
    }
    return context_;
}

void CanberraSound::playFile(const QString& bareName)
{
    if (!connect())
        return;
    const Canberra* canberra = Canberra::get();
    // libcanberra reports a file it cannot decode at once, but it opens the
    // file in blocking mode: a FIFO of that name would hold the window's Load
    // until some writer came. Only a regular file is handed over.
    const QFileInfo file(QDir::current(), bareName);
    int result = CA_ERROR_NOTFOUND;
    if (file.isFile()) {
        const QByteArray path = file.absoluteFilePath().toLocal8Bit();
        // An anthem is music: played in the role of alert sounds, it would be
        // silenced by a desktop that turns its alert sounds down or off.
        result = canberra->play(context_, kSoundId, CA_PROP_MEDIA_FILENAME, path.constData(), CA_PROP_MEDIA_ROLE,
                                "music", nullptr);
    }
    if (result != CA_SUCCESS && result != CA_ERROR_NOTAVAILABLE && result != CA_ERROR_DISCONNECTED) {
        // As the platform does for a file it cannot play: its default sound.
        canberra->play(context_, kSoundId, CA_PROP_EVENT_ID, kDefaultSound, CA_PROP_MEDIA_ROLE, "event", nullptr);
    }
}

void CanberraSound::stop()
{
    if (context_)
        Canberra::get()->cancel(context_, kSoundId);
}

} // namespace varnelle
