#include "ProcessState.h"

#include <QtGlobal>

#include <cstdio>

#include <sys/syscall.h>
#include <unistd.h>

namespace varnelle::test {

EnvironmentFor::EnvironmentFor(std::initializer_list<std::pair<const char*, std::optional<QByteArray>>> values)
{
    for (const auto& [name, value] : values) {
        saved_.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
}

EnvironmentFor::~EnvironmentFor()
{
    for (const auto& [name, value] : saved_) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
}

StandardErrorCapture::StandardErrorCapture()
{
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    file_.open();
    ::dup2(file_.handle(), STDERR_FILENO);
}

QByteArray StandardErrorCapture::release()
{
    if (saved_ >= 0) {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    file_.seek(0);
    return file_.readAll();
}

WithoutReadOverride::WithoutReadOverride()
{
    if (::geteuid() != 0)
        return;
    if (::syscall(SYS_capget, &header_, saved_) != 0)
        return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
    dropped_ = ::syscall(SYS_capset, &header_, reduced) == 0;
}

WithoutReadOverride::~WithoutReadOverride()
{
    if (dropped_)
        ::syscall(SYS_capset, &header_, saved_);
}

} // namespace varnelle::test
