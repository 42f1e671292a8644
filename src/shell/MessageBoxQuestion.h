// Varnelle: the Yes/No question as a Qt message box that only its two buttons can answer.
#pragma once

#include "shell/Platform.h"

namespace varnelle {

class MessageBoxQuestion : public YesNoQuestion {
public:
    int ask(QWidget* parent, const QString& prompt, const QString& title) override;
};

} // namespace varnelle
