// Varnelle: the welcome window, which takes the player's name and opens the quiz.
#pragma once

#include "shell/Windows.h"

class QLineEdit;

namespace varnelle {

class CommandButton;
class TextBox;

class Bonjour : public Form {
    Q_OBJECT
public:
    explicit Bonjour(Windows& windows);

    TextBox& nj() const { return *nj_; }
    CommandButton& Entree() const { return *entree_; }

    void nj_KeyPress(int keyAscii);
    void Entree_Click();

private:
    void takeName();
    void validate();

    Windows& windows_;
    QString NomSaisi;
    TextBox* nj_;
    CommandButton* entree_;
};

} // namespace varnelle
