// Varnelle: builds the map box of the quiz window and its children from the layout tables.
#pragma once

#include "quiz/Catalogue.h"

#include <array>

class QWidget;

namespace varnelle {

class CheckBox;
class CommandButton;
class Label;
class PictureBox;

// Typed pointers to the controls that the quiz window's handlers use; every
// control also carries its layout name as objectName.
struct CarteControls {
    PictureBox* Carte = nullptr;
    std::array<CheckBox*, catalogue::kTargetCount> boxes{};         // boxes[n - 1] is CheckN
    std::array<PictureBox*, catalogue::kTargetCount> pictureOver{}; // the reward picture over box n, if any
    CommandButton* DEPART = nullptr;
    Label* NOM = nullptr;
    Label* Rubrique = nullptr;
    Label* NomTheme = nullptr;
    Label* Objectif = nullptr;
    Label* Note = nullptr;
    Label* Erreurs = nullptr;

    CheckBox& Check(int number) const { return *boxes.at(static_cast<std::size_t>(number - 1)); }
    PictureBox* rewardOver(int number) const { return pictureOver.at(static_cast<std::size_t>(number - 1)); }
};

// Builds Carte in the window, with its children stacked in drawing order and
// chained in tab order; the map is decoded here, when the window is created.
CarteControls buildCarte(QWidget* window);

} // namespace varnelle
