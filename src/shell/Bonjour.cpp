#include "shell/Bonjour.h"

#include "quiz/France.h"
#include "shell/BonjourLayout.h"
#include "shell/Controls.h"

namespace varnelle {

using namespace layout;

namespace {

constexpr int kEnter = 13;

} // namespace

Bonjour::Bonjour(Windows& windows) : Form(windows, kBonjourForm), windows_(windows)
{
    for (const LabelRow& row : kBonjourLabels)
        addLabel(this, row);

    nj_ = new TextBox(this, kNjColour, kNjFont);
    nj_->setObjectName(QStringLiteral("nj"));
    nj_->setGeometry(toPixels(kNj));
    connect(nj_, &TextBox::KeyPress, this, &Bonjour::nj_KeyPress);

    entree_ = new CommandButton(this, kEntreeFont);
    entree_->setObjectName(QStringLiteral("Entree"));
    entree_->setGeometry(toPixels(kEntree));
    entree_->setCaption(QString::fromLatin1(kEntreeCaption));
    connect(entree_, &CommandButton::Click, this, &Bonjour::Entree_Click);

    setTabOrder(nj_, entree_);
    nj_->setFocus();
}

void Bonjour::takeName()
{
    NomSaisi = nj_->text();
    if (NomSaisi.isEmpty())
        NomSaisi = QStringLiteral("Utilisateur Anonyme");
}

void Bonjour::validate()
{
    setVisible(false);
    windows_.france.setVisible(true);
    windows_.france->NOM().setCaption(NomSaisi);
}

void Bonjour::nj_KeyPress(int keyAscii)
{
    takeName();
    if (keyAscii == kEnter)
        validate();
}

void Bonjour::Entree_Click()
{
    takeName();
    validate();
}

} // namespace varnelle
