// Varnelle tests: parts of the process's state a test changes for a while and
// gives back: environment variables, the standard error, root's read override.
#pragma once

#include <QByteArray>
#include <QList>
#include <QTemporaryFile>

#include <initializer_list>
#include <optional>
#include <utility>

#include <linux/capability.h>

namespace varnelle::test {

// Sets or removes environment variables for a while.
class EnvironmentFor {
public:
    EnvironmentFor(std::initializer_list<std::pair<const char*, std::optional<QByteArray>>> values);
    ~EnvironmentFor();
    EnvironmentFor(const EnvironmentFor&) = delete;
    EnvironmentFor& operator=(const EnvironmentFor&) = delete;

private:
    QList<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

// Collects what the process writes to its standard error for a while: the
// player must report nothing, neither through Qt nor from the sound libraries.
class StandardErrorCapture {
public:
    StandardErrorCapture();
    ~StandardErrorCapture() { release(); }
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;

    QByteArray release();

private:
    QTemporaryFile file_;
    int saved_ = -1;
};

// Root reads every file whatever its mode; without these two capabilities
// this thread is refused an unreadable file as any player would be.
class WithoutReadOverride {
public:
    WithoutReadOverride();
    ~WithoutReadOverride();
    WithoutReadOverride(const WithoutReadOverride&) = delete;
    WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

} // namespace varnelle::test
