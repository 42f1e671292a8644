#include "shell/Bonjour.h"

#include "quiz/France.h"
#include "shell/Controls.h"

namespace varnelle {

namespace {

// clang-format off
constexpr LabelRow kLabels[] = {
    {"Accueil", {120, 120, 8295, 1215}, kButtonFace, kNavy, {"Script MT Bold", 15.75, true}, Align::Centre,
     "Bonjour, bienvenue \u00e0 toi. Tu vas pouvoir tester tes connaissances sur la g\u00e9ographie de la France. "
     "Il me faut tout d'abord  conna\u00eetre ton nom avant de lancer les tests de connaissance...", 0},
    {"Accueil2", {0, 1440, 3375, 495}, kButtonFace, kRed, {"Times New Roman", 15.75, true}, Align::Centre,
     "Tape ton NOM ici  >>>", 1},
    {"Accueil3", {0, 2160, 6975, 375}, kButtonFace, kNavy, {"Times New Roman", 14.25, true}, Align::Centre,
     "Puis valide avec la touche  \"ENTR\u00c9E\" ou clique ici >", 3},
};
// clang-format on

constexpr TwipRect kNj{3480, 1440, 4695, 495};
constexpr FontSpec kNjFont{"Times New Roman", 14.25, true};
constexpr TwipRect kEntree{7080, 2040, 1455, 615};
constexpr FontSpec kEntreeFont{"MS Sans Serif", 24, false};

constexpr int kEnter = 13;

} // namespace

Bonjour::Bonjour(Windows& windows) : Form(windows, kBonjourForm), windows_(windows)
{
    for (const LabelRow& row : kLabels)
        addLabel(this, row);

    nj_ = new TextBox(this, kNavy, kNjFont);
    nj_->setObjectName(QStringLiteral("nj"));
    nj_->setGeometry(toPixels(kNj));
    connect(nj_, &TextBox::KeyPress, this, &Bonjour::nj_KeyPress);

    entree_ = new CommandButton(this, kEntreeFont);
    entree_->setObjectName(QStringLiteral("Entree"));
    entree_->setGeometry(toPixels(kEntree));
    entree_->setCaption(QStringLiteral("<<<"));
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
