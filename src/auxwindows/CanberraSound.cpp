#include "auxwindows/CanberraSound.h"

#include <QDir>
#include <QFileInfo>

#include <canberra.h>

namespace varnelle {

namespace {

constexpr uint32_t kSoundId = 1;

} // namespace

CanberraSound::CanberraSound()
{
    if (ca_context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return;
    }
    if (ca_context_set_driver(context_, "pulse") != CA_SUCCESS) {
        ca_context_destroy(context_);
        context_ = nullptr;
    }
}

CanberraSound::~CanberraSound()
{
    if (context_)
        ca_context_destroy(context_);
}

void CanberraSound::playFile(const QString& bareName)
{
    if (!context_)
        return;
    // libcanberra reports a file it cannot decode at once, but it opens the
    // file in blocking mode: a FIFO of that name would hold the window's Load
    // until some writer came. Only a regular file is handed over.
    const QFileInfo file(QDir::current(), bareName);
    int result = CA_ERROR_NOTFOUND;
    if (file.isFile()) {
        const QByteArray path = file.absoluteFilePath().toLocal8Bit();
        result = ca_context_play(context_, kSoundId, CA_PROP_MEDIA_FILENAME, path.constData(), CA_PROP_MEDIA_ROLE,
                                 "event", nullptr);
    }
    if (result != CA_SUCCESS && result != CA_ERROR_NOTAVAILABLE && result != CA_ERROR_DISCONNECTED) {
        // As the platform does for a file it cannot play: its default sound.
        ca_context_play(context_, kSoundId, CA_PROP_EVENT_ID, kDefaultSound, CA_PROP_MEDIA_ROLE, "event", nullptr);
    }
}

void CanberraSound::stop()
{
    if (context_)
        ca_context_cancel(context_, kSoundId);
}

} // namespace varnelle
