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
    // The context connects to the sound server lazily, at the first play: a
    // run that never wins never touches the sound system.
    if (ca_context_create(&context_) != CA_SUCCESS)
        context_ = nullptr;
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
    // The name is relative to the working directory; libcanberra wants a path.
    const QByteArray path = QFileInfo(QDir::current(), bareName).absoluteFilePath().toLocal8Bit();
    const int result = ca_context_play(context_, kSoundId, CA_PROP_MEDIA_FILENAME, path.constData(), CA_PROP_MEDIA_ROLE,
                                       "event", nullptr);
    if (result != CA_SUCCESS) {
        // As the platform does for a file it cannot play: its default sound.
        ca_context_play(context_, kSoundId, CA_PROP_EVENT_ID, "bell-window-system", CA_PROP_MEDIA_ROLE, "event",
                        nullptr);
    }
}

void CanberraSound::stop()
{
    if (context_)
        ca_context_cancel(context_, kSoundId);
}

} // namespace varnelle
